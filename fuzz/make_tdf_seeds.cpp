// Writes the 3DF reader's seed corpus into a folder, every file from the tests'
// 3DF writer: each accepted format and ratio, and the malformed forms.
#include <cstdio>
#include <fstream>
#include <string>

#include "support/tdf_writer.h"

namespace {

void Write(const std::string& folder, const std::string& name, const TdfWriter& writer) {
  std::ofstream out(folder + "/" + name, std::ios::binary);
  const std::string bytes = writer.Bytes();
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: make_tdf_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  TdfWriter small;  // small files keep the fuzzer quick
  small.lodLine = TdfWriter::LodLine(1, 8);
  small.texels = TdfWriter::Texels(8 * 8 * 2);
  Write(folder, "rgb565_8x8.3df", small);
  for (const char* format : {"p8", "argb1555", "ARGB4444", "argb8332", "rgb565\r"}) {
    TdfWriter w = small;
    w.format = format;
    Write(folder, std::string("format_") + (format[0] == 'r' ? "cr" : format) + ".3df", w);
  }
  const int ratios[][2] = {{8, 1}, {2, 1}, {1, 4}, {3, 1}};
  for (const auto& r : ratios) {
    TdfWriter w = small;
    w.aspectLine = TdfWriter::AspectLine(r[0], r[1]);
    Write(folder, "aspect_" + std::to_string(r[0]) + "x" + std::to_string(r[1]) + ".3df", w);
  }
  TdfWriter crlf = small;
  crlf.lineEnd = "\r\n";
  Write(folder, "crlf.3df", crlf);
  TdfWriter unended = small;
  unended.aspectLineEnded = false;
  unended.texels.clear();
  Write(folder, "no_line_feed.3df", unended);
  TdfWriter headerOnly = small;
  headerOnly.texels.clear();
  Write(folder, "header_only.3df", headerOnly);
  TdfWriter shortOfItsLevel = small;  // a download of it would read past what was loaded
  shortOfItsLevel.texels.resize(16);
  Write(folder, "short_of_its_level.3df", shortOfItsLevel);
  TdfWriter cut = small;
  cut.cutAt = 7;
  Write(folder, "short_signature.3df", cut);
  TdfWriter lod = small;
  lod.lodLine = "lod range: 4";
  Write(folder, "one_number.3df", lod);
  return 0;
}
