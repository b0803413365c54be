// Native throughput of the embedding tokenizer and of embed(), and the cost
// of building the first and further models.
//
//   embeddings_bench [treebank folder]   (default /work/shared/data/ud-turkish)
//
// Text: the "# text =" lines of every *-dev.conllu file.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "embeddings/embeddings.h"

namespace fs = std::filesystem;
using namespace selvo;
using Clock = std::chrono::steady_clock;

namespace {

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

std::vector<std::string> sentences(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.find("-dev.conllu") == std::string::npos) continue;
    std::ifstream in(entry.path());
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("# text = ", 0) == 0) out.push_back(line.substr(9));
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = argc > 1 ? argv[1] : "/work/shared/data/ud-turkish";
  const std::vector<std::string> text = sentences(dir);
  size_t bytes = 0;
  for (const auto& s : text) bytes += s.size();
  std::printf("%zu sentences, %.1f MB\n", text.size(), bytes / 1e6);

  auto t = Clock::now();
  const TurkishEmbeddings first;
  std::printf("first model (tokenizer + table): %.1f ms\n", seconds_since(t) * 1e3);
  t = Clock::now();
  const TurkishEmbeddings second;
  std::printf("further model: %.3f ms\n", seconds_since(t) * 1e3);

  size_t ids = 0;
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    t = Clock::now();
    ids = 0;
    for (const auto& s : text) ids += first.tokenize(s).size();
    best = std::min(best, seconds_since(t));
  }
  std::printf("tokenize: %.1f MB/s, %.0f sentences/s, %.2f ids per sentence\n", bytes / best / 1e6,
              text.size() / best, static_cast<double>(ids) / text.size());

  best = 1e9;
  float sink = 0;
  for (int round = 0; round < 3; ++round) {
    t = Clock::now();
    for (const auto& s : text) sink += first.embed(s)[0];
    best = std::min(best, seconds_since(t));
  }
  std::printf("embed: %.0f sentences/s (%.2f us each)%s\n", text.size() / best, best / text.size() * 1e6,
              sink == 12345.0f ? " " : "");
  return 0;
}
