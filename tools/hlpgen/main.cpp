/* hlpgen: builds a Windows Help file from plain topic sources.
 *
 *   hlpgen -o springdeck.hlp topics.txt...
 *
 * The file is read back and checked (every topic reached by its context name
 * and map number, every jump resolved) before it is written; on any error
 * nothing is left at the output path, so the build cannot ship a broken file. */
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "hlpgen.h"

static bool ReadSource(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

static bool WriteImage(const std::string& path, const HlpBytes& image) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  out.close();
  return !out.fail();
}

int main(int argc, char** argv) {
  std::string output;
  std::vector<std::string> sources;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-o" && i + 1 < argc)
      output = argv[++i];
    else
      sources.push_back(arg);
  }
  if (output.empty() || sources.empty()) {
    std::cerr << "usage: hlpgen -o OUTPUT.hlp SOURCE.txt...\n";
    return 2;
  }
  std::remove(output.c_str());

  HelpBook book;
  std::string error;
  for (const std::string& source : sources) {
    std::string text;
    if (!ReadSource(source, &text)) {
      std::cerr << "hlpgen: cannot read " << source << "\n";
      return 1;
    }
    if (!ParseTopicSource(text, source, &book, &error)) {
      std::cerr << error << "\n";
      return 1;
    }
  }
  HlpBytes image;
  if (!FinishTopicSources(&book, &error) || !BuildHelpFile(book, &image, &error) ||
      !VerifyHelpImage(image, book, &error)) {
    std::cerr << "hlpgen: " << error << "\n";
    return 1;
  }
  if (!WriteImage(output, image)) {
    std::cerr << "hlpgen: cannot write " << output << "\n";
    std::remove(output.c_str());
    return 1;
  }
  std::cout << "hlpgen: " << output << ": " << book.topics.size() << " topics, " << image.size() << " bytes\n";
  return 0;
}
