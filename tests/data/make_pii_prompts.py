"""Writes pii_prompts.jsonl: invented Turkish prompts with the personal data
each one holds.

Every value is made up (identity numbers, IBANs and cards are generated with
valid check digits, so that a checksum detector has something to find). Each
record lists the values it contains with their category and the detector
family expected to find them:

  pattern   the regular-expression rules (contact data, account numbers, ...)
  address   the postal-address step
  terms     blood groups, health and religion terms
  checksum  identifiers proven by their check digits (TCKN, IBAN, card, plate)
  names     person names
  secrets   credentials: vendor tokens, key blocks, connection URLs, codes
  spelled   numbers written as Turkish words after a trigger

Run from the repository root: python tests/data/make_pii_prompts.py
"""

from __future__ import annotations

import json
import random
from pathlib import Path

OUT = Path(__file__).with_name("pii_prompts.jsonl")
rng = random.Random(20261211)


def tckn() -> str:
    d = [rng.randint(1, 9)] + [rng.randint(0, 9) for _ in range(8)]
    d.append((7 * sum(d[0:9:2]) - sum(d[1:8:2])) % 10)
    d.append(sum(d) % 10)
    return "".join(map(str, d))


def iban() -> str:
    bban = "".join(str(rng.randint(0, 9)) for _ in range(22))
    n = int("".join(str(int(c, 36)) for c in bban + "TR00"))
    return f"TR{98 - n % 97:02d}{bban}"


def grouped(s: str) -> str:
    return " ".join(s[i : i + 4] for i in range(0, len(s), 4))


def card() -> str:
    body = "4" + "".join(str(rng.randint(0, 9)) for _ in range(14))
    for c in "0123456789":
        s = body + c
        total = 0
        for i, ch in enumerate(reversed(s)):
            v = int(ch) * (2 if i % 2 else 1)
            total += v - 9 if v > 9 else v
        if total % 10 == 0:
            return s
    raise AssertionError


def phone() -> str:
    return f"05{rng.randint(30, 59)} {rng.randint(100, 999)} {rng.randint(10, 99)} {rng.randint(10, 99)}"


GIVEN = ["Ahmet", "Ayşe", "Mehmet", "Zeynep", "Mustafa", "Elif", "Hüseyin", "Merve", "Emre", "Büşra", "Kerem", "Gizem"]
SURNAMES = ["Yılmaz", "Kaya", "Demir", "Çelik", "Şahin", "Öztürk", "Aydın", "Özdemir", "Arslan", "Doğan", "Koç", "Kurt"]
DOMAINS = ["gmail.com", "hotmail.com", "yandex.com.tr", "outlook.com", "firma.com.tr"]
ADDRESSES = [
    "Caferağa Mahallesi, Moda Caddesi No: 12 Kadıköy/İstanbul",
    "Kızılay Mahallesi, Atatürk Bulvarı No: 45 Çankaya/Ankara",
    "Alsancak Mahallesi, Kıbrıs Şehitleri Caddesi No: 7 Konak/İzmir",
    "Bahçelievler Mahallesi, Şehit Pilot Sokağı No: 3 Bahçelievler/İstanbul",
    "Yenişehir Mahallesi, Gazi Caddesi No: 88 Merkez/Diyarbakır",
]
HEALTH = ["diyabet", "hipertansiyon", "astım", "depresyon", "epilepsi", "anksiyete", "migrenim yok ama astım"]
BLOOD = ["A Rh+", "0 Rh-", "B Rh pozitif", "AB Rh-"]


def person() -> tuple[str, str]:
    return rng.choice(GIVEN), rng.choice(SURNAMES)


ASCII = str.maketrans("çğıöşüÇĞİÖŞÜ", "cgiosuCGIOSU")


def email_for(given: str, surname: str) -> str:
    return f"{given.translate(ASCII).lower()}.{surname.translate(ASCII).lower()}{rng.randint(1, 99)}@{rng.choice(DOMAINS[:4])}"


def luhn_ok(digits: str) -> bool:
    total = 0
    for i, ch in enumerate(reversed(digits)):
        v = int(ch) * (2 if i % 2 else 1)
        total += v - 9 if v > 9 else v
    return total % 10 == 0


def vkn_ok(d: str) -> bool:
    total = 0
    for i in range(1, 10):
        t = (int(d[i - 1]) + 10 - i) % 10
        if t:
            v = (t * 2 ** (10 - i)) % 9
            total += 9 if v == 0 else v
    return (10 - total % 10) % 10 == int(d[9])


def claimed(t: str, v: str, d: str) -> tuple[str, str, str]:
    """The category the engine reports for a generated number: a random
    account number, IMEI or tax number that happens to pass a stronger
    checksum (Luhn, the tax-number check) is claimed, and masked, by the
    checksum detector of that identifier."""
    digits = "".join(c for c in v if c.isdigit())
    numeric = all(c.isdigit() or c in " -" for c in v)
    if numeric and t != "KART" and 13 <= len(digits) <= 19 and len(digits) == len(v.replace(" ", "").replace("-", "")) \
            and luhn_ok(digits):
        return "KART", v, "checksum"
    if t == "TCKN" and d == "pattern" and v.isdigit() and len(v) == 10 and vkn_ok(v):
        return "VKN", v, "checksum"
    return t, v, d


def record(kind: str, text: str, entities: list[tuple[str, str, str]]) -> dict:
    for _, value, _ in entities:
        assert value in text, (value, text)
    entities = [claimed(*e) for e in entities]
    return {
        "kind": kind,
        "text": text,
        "entities": [{"pii_type": t, "value": v, "detector": d} for t, v, d in entities],
    }


def customer(i: int) -> dict:
    g, s = person()
    tel, mail, no = phone(), email_for(g, s), f"{rng.choice('ABCMK')}{rng.randint(10000, 999999)}"
    variants = [
        (f"Merhaba, ben {g} {s}. Müşteri no: {no}. Siparişim gelmedi, bana {tel} numarasından "
         f"ya da {mail} adresinden ulaşabilir misiniz?"),
        (f"{g} {s} adına kayıtlı aboneliğim var, müşteri numarası: {no}. Faturayı {mail} adresine "
         f"gönderin lütfen, cep telefonum {tel}."),
        (f"İyi günler, kargo {ADDRESSES[i % 5]} adresine gelecekti. Ben {g} {s}, telefon {tel}, "
         f"müşteri no: {no}."),
    ]
    text = variants[i % 3]
    ents = [("AD", f"{g} {s}", "names"), ("HESAP_NO", no, "pattern"), ("TEL", tel, "pattern")]
    if i % 3 != 2:
        ents.append(("EMAIL", mail, "pattern"))
    else:
        ents.append(("ADRES", ADDRESSES[i % 5], "address"))
    return record("customer", text, ents)


def hr_note(i: int) -> dict:
    g, s = person()
    tc, sgk, salary = tckn(), f"{rng.randint(10, 99)}-{rng.randint(1000000, 9999999)}", f"{rng.randint(25, 95)}.{rng.randint(0, 9)}00"
    variants = [
        (f"İK notu: {g} {s} (TC kimlik no: {tc}) 1 Mart itibarıyla işe başladı. SGK sicil no: {sgk}. "
         f"Maaşı: {salary} TL, ehliyet no: {rng.randint(100000, 999999)}."),
        (f"Personel dosyası güncellendi. Çalışan {g} {s}, TC {tc}, maaşım {salary} TL yazmış, kontrol edin. "
         f"İletişim: {phone()}."),
    ]
    text = variants[i % 2]
    ents = [("AD", f"{g} {s}", "names"), ("TCKN", tc, "checksum")]
    if i % 2 == 0:
        ents += [("TCKN", sgk, "pattern"), ("MAAS", f"Maaşı: {salary} TL", "pattern")]
        lic = text.split("ehliyet no: ")[1].rstrip(".")
        ents.append(("EHLIYET", lic, "pattern"))
    else:
        ents.append(("MAAS", f"maaşım {salary} TL", "pattern"))
        ents.append(("TEL", text.split("İletişim: ")[1].rstrip("."), "pattern"))
    return record("hr", text, ents)


def medical(i: int) -> dict:
    g, s = person()
    h, b = HEALTH[i % len(HEALTH)], BLOOD[i % len(BLOOD)]
    tel = phone()
    variants = [
        f"Hasta {g} {s}, 54 yaşında, {h} tanısı var. Kan grubu {b}. Yakını aranacak: {tel}.",
        f"Dr. notu: {g} {s} kontrolde. Kan grubum {b} dedi, {h} ilaçlarına devam. Adres: {ADDRESSES[(i + 1) % 5]}.",
    ]
    text = variants[i % 2]
    term = "astım" if h.startswith("migrenim") else h
    ents = [("AD", f"{g} {s}", "names"), ("SAGLIK", term, "terms"), ("KAN_GRUBU", b, "terms")]
    ents.append(("TEL", tel, "pattern") if i % 2 == 0 else ("ADRES", ADDRESSES[(i + 1) % 5], "address"))
    return record("medical", text, ents)


def bank(i: int) -> dict:
    g, s = person()
    ib, cc = iban(), card()
    acc = f"{rng.randint(1000, 9999)}-{rng.randint(1000000, 9999999)}-{rng.randint(10, 99)}"
    variants = [
        (f"Merhaba, {g} {s}. IBAN: {grouped(ib)} hesabına para gelmedi. Hesap no: {acc}. "
         f"Kartımın şifresi değişti, yeni şifrem: Kedi{rng.randint(1000, 9999)}."),
        (f"Ben {g} {s}, kredi kartım {grouped(cc)} bloke oldu, cvv: {rng.randint(100, 999)}, skt 0{rng.randint(1, 9)}/2{rng.randint(6, 9)}. "
         f"Numaram {phone()}, e-posta {email_for(g, s)}."),
        (f"{g} {s} olarak şube müşterisiyim, hesap no: {acc}, IBAN {ib}. Kullanıcı adım: {g.translate(ASCII).lower()}{rng.randint(10, 99)}x "
         f"ve pin kodu {rng.randint(1000, 9999)}."),
    ]
    text = variants[i % 3]
    ents = [("AD", f"{g} {s}", "names")]
    if i % 3 == 0:
        ents += [("IBAN", grouped(ib), "checksum"), ("HESAP_NO", acc, "pattern"),
                 ("SIFRE", text.split("yeni şifrem: ")[1].rstrip("."), "pattern")]
    elif i % 3 == 1:
        cvv = text.split("cvv: ")[1].split(",")[0]
        skt = "skt " + text.split("skt ")[1].split(".")[0]
        tel = text.split("Numaram ")[1].split(",")[0]
        mail = text.split("e-posta ")[1].rstrip(".")
        ents += [("KART", grouped(cc), "checksum"), ("KART", cvv, "pattern"), ("KART", skt, "pattern"),
                 ("TEL", tel, "pattern"), ("EMAIL", mail, "pattern")]
    else:
        user = text.split("Kullanıcı adım: ")[1].split(" ")[0]
        pin = text.split("pin kodu ")[1].rstrip(".")
        ents += [("HESAP_NO", acc, "pattern"), ("IBAN", ib, "checksum"), ("HESAP_NO", user, "pattern"),
                 ("SIFRE", pin, "pattern")]
    return record("bank", text, ents)


def it_support(i: int) -> dict:
    g, s = person()
    ip = f"10.{rng.randint(0, 255)}.{rng.randint(0, 255)}.{rng.randint(1, 254)}"
    mac = ":".join(f"{rng.randint(0, 255):02X}" for _ in range(6))
    imei = "35" + "".join(str(rng.randint(0, 9)) for _ in range(13))
    text = (f"Sistem yöneticisine: {g} {s} kullanıcısının bilgisayarı {ip} adresinden bağlanamıyor, "
            f"MAC adresi {mac}. Telefon IMEI no: {imei}. Bana {email_for(g, s)} üzerinden dönün.")
    mail = text.split("Bana ")[1].split(" ")[0]
    return record("it", text, [("AD", f"{g} {s}", "names"), ("IP_ADRES", ip, "pattern"), ("IP_ADRES", mac, "pattern"),
                               ("IMEI", imei, "pattern"), ("EMAIL", mail, "pattern")])


def vehicle(i: int) -> dict:
    g, s = person()
    plate = f"{rng.choice(['34', '06', '35', '16'])} {rng.choice(['ABC', 'KL', 'DF', 'RT'])} {rng.randint(100, 999)}"
    text = (f"Sigorta başvurusu: {g} {s}, poliçe no: PL-{rng.randint(100000, 999999)}, araç plakası {plate}. "
            f"Ruhsat no: AB-{rng.randint(100000, 999999)}. Ulaşım için {phone()}.")
    pol = text.split("poliçe no: ")[1].split(",")[0]
    ruh = text.split("Ruhsat no: ")[1].split(".")[0]
    tel = text.split("Ulaşım için ")[1].rstrip(".")
    return record("vehicle", text, [("AD", f"{g} {s}", "names"), ("HESAP_NO", pol, "pattern"),
                                    ("PLAKA", plate, "checksum"), ("PLAKA", ruh, "pattern"), ("TEL", tel, "pattern")])


def personal(i: int) -> dict:
    g, s = person()
    text = (f"Başvuru formu: {g} {s}, pasaport no: U{rng.randint(1000000, 9999999)}, vergi no: {rng.randint(6000000000, 9999999999)}. "
            f"Dini: {'müslüman' if i % 2 else 'hristiyan'}. Ev: {ADDRESSES[i % 5]}.")
    pas = text.split("pasaport no: ")[1].split(",")[0]
    vkn = text.split("vergi no: ")[1].split(".")[0]
    rel = "müslüman" if i % 2 else "hristiyan"
    return record("form", text, [("AD", f"{g} {s}", "names"), ("PASAPORT", pas, "pattern"), ("TCKN", vkn, "pattern"),
                                 ("SAGLIK", rel, "terms"), ("ADRES", ADDRESSES[i % 5], "address")])


DIGIT_WORDS = ["sıfır", "bir", "iki", "üç", "dört", "beş", "altı", "yedi", "sekiz", "dokuz"]
ALNUM = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789"


def token(n: int) -> str:
    return "".join(rng.choice(ALNUM) for _ in range(n))


def developer(i: int) -> dict:
    g, s = person()
    shapes = [f"ghp_{token(36)}", f"AKIA{''.join(rng.choice('ABCDEFGHIJKLMNOPQRSTUVWXYZ234567') for _ in range(16))}",
              f"glpat-{token(20)}", f"hf_{token(34)}", f"xoxb-{token(12)}-{token(24)}"]
    key = shapes[i % len(shapes)]
    db = f"postgres://app:{token(10)}@db{i}.ic.local:5432/prod"
    otp = f"{rng.randint(100000, 999999)}"
    mail = email_for(g, s)
    text = (f"{g} {s} yazdı: deploy patladı, loglarda {key} görünüyor. Bağlantı {db} adresine. "
            f"SMS doğrulama kodu {otp} geldi ama giremedim. Dönüş için {mail}")
    return record("developer", text, [("AD", f"{g} {s}", "names"), ("SIFRE", key, "secrets"),
                                      ("SIFRE", db, "secrets"), ("SIFRE", otp, "secrets"), ("EMAIL", mail, "pattern")])


def dictated(i: int) -> dict:
    g, s = person()
    tc_words = " ".join(DIGIT_WORDS[int(c)] for c in tckn())
    pin_words = " ".join(rng.choice(DIGIT_WORDS) for _ in range(4))
    age = rng.randint(20, 70)
    day = rng.randint(1, 28)
    month = rng.choice(["ocak", "şubat", "mart", "nisan", "mayıs", "haziran"])
    text = (f"Sesli not: {g} {s}, {age} yaşındayım. TC kimlik no: {tc_words}. PIN kodu {pin_words}. "
            f"Randevu tarihim: {day} {month}, cinsiyet: {'kadın' if i % 2 else 'erkek'}.")
    return record("dictated", text, [("AD", f"{g} {s}", "names"), ("TCKN", tc_words, "spelled"),
                                     ("SIFRE", pin_words, "spelled"), ("YAS", str(age), "pattern"),
                                     ("OZEL_TARIH", f"{day} {month}", "pattern"),
                                     ("CINSIYET", "kadın" if i % 2 else "erkek", "pattern")])


def main() -> None:
    makers = [customer, hr_note, medical, bank, it_support, vehicle, personal]
    records = []
    for i in range(56):
        records.append(makers[i % len(makers)](i // len(makers) + i))
    # Credentials, dictated numbers and personal attributes.
    for i in range(14):
        records.append([developer, dictated][i % 2](i))
    with OUT.open("w", encoding="utf-8") as f:
        for r in records:
            f.write(json.dumps(r, ensure_ascii=False) + "\n")
    print(f"{len(records)} prompts written to {OUT}")


if __name__ == "__main__":
    main()
