#pragma once
// Looking into PDF files from tests with poppler's command-line tools (pdfinfo, pdfimages,
// pdftoppm, pdftotext). Tests skip when the tools are missing.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace pdftools {

inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The command's standard output; nullopt when it could not run or failed.
inline std::optional<std::string> Run(const std::string& command) {
  FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
  if (!p) return std::nullopt;
  std::string out;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int rc = pclose(p);
  if (rc != 0) return std::nullopt;
  return out;
}

inline bool Available() {
  static const bool ok = Run("command -v pdfinfo && command -v pdfimages && command -v pdftoppm "
                             "&& command -v pdftotext")
                             .has_value();
  return ok;
}

// A field of pdfinfo ("Pages", "Page size", "Title"), trimmed; empty when absent.
inline std::string Info(const std::string& pdf, const std::string& field) {
  auto out = Run("pdfinfo " + Quote(pdf));
  if (!out) return {};
  std::istringstream in(*out);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field + ":", 0) == 0) {
      std::string v = line.substr(field.size() + 1);
      std::size_t a = v.find_first_not_of(' ');
      return a == std::string::npos ? std::string() : v.substr(a);
    }
  return {};
}

inline int Pages(const std::string& pdf) {
  std::string v = Info(pdf, "Pages");
  return v.empty() ? -1 : std::stoi(v);
}

// How many images the file holds (pdfimages -list, less its two header lines).
inline int ImageCount(const std::string& pdf) {
  auto out = Run("pdfimages -list " + Quote(pdf));
  if (!out) return -1;
  int lines = 0;
  for (char c : *out) lines += c == '\n';
  return lines - 2;
}

// One page rendered in grey at a resolution, dark = ink.
struct GrayPage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;
  bool Ink(int x, int y) const {
    return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] < 128;
  }
  int InkInRow(int y) const {
    int n = 0;
    for (int x = 0; x < width; ++x) n += Ink(x, y);
    return n;
  }
  int InkInColumn(int x) const {
    int n = 0;
    for (int y = 0; y < height; ++y) n += Ink(x, y);
    return n;
  }
};

inline std::optional<GrayPage> Render(const std::string& pdf, int page, int dpi,
                                      const std::string& scratchStem) {
  std::string cmd = "pdftoppm -r " + std::to_string(dpi) + " -gray -f " + std::to_string(page) +
                    " -l " + std::to_string(page) + " -singlefile " + Quote(pdf) + " " +
                    Quote(scratchStem);
  if (!Run(cmd)) return std::nullopt;
  std::ifstream in(scratchStem + ".pgm", std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // P5 <w> <h> <max> then the bytes.
  std::istringstream head(data);
  std::string magic;
  GrayPage g;
  int maxval = 0;
  head >> magic >> g.width >> g.height >> maxval;
  if (magic != "P5" || g.width <= 0 || g.height <= 0) return std::nullopt;
  std::size_t start = std::size_t(head.tellg()) + 1;
  std::size_t size = std::size_t(g.width) * std::size_t(g.height);
  if (data.size() < start + size) return std::nullopt;
  g.pixels.assign(data.begin() + std::ptrdiff_t(start),
                  data.begin() + std::ptrdiff_t(start + size));
  return g;
}

// Words with their boxes in points (pdftotext -bbox), page 1.
struct Word {
  std::string text;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

inline std::vector<Word> Words(const std::string& pdf) {
  std::vector<Word> words;
  auto out = Run("pdftotext -f 1 -l 1 -bbox " + Quote(pdf) + " -");
  if (!out) return words;
  std::size_t at = 0;
  while ((at = out->find("<word ", at)) != std::string::npos) {
    std::size_t end = out->find("</word>", at);
    if (end == std::string::npos) break;
    std::string tag = out->substr(at, end - at);
    Word w;
    auto num = [&](const char* key) {
      std::size_t k = tag.find(std::string(key) + "=\"");
      return k == std::string::npos ? 0.0 : std::stod(tag.substr(k + std::strlen(key) + 2));
    };
    w.xMin = num("xMin");
    w.yMin = num("yMin");
    w.xMax = num("xMax");
    w.yMax = num("yMax");
    w.text = tag.substr(tag.find('>') + 1);
    words.push_back(w);
    at = end;
  }
  return words;
}

}  // namespace pdftools
