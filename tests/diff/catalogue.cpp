// zantrel-catalogue PICTURES OUTDIR draws each picture of PICTURES (see its head) into
// OUTDIR/<name>.pic: "ZPIC", width, height and bits per pixel as little-endian 32-bit integers,
// then the bits, bottom row first.
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "tests/diff/catalogue.h"
#include "tests/support/bmp_file.h"

namespace {

using Group = std::vector<std::pair<std::string, std::string>>;  // label and value
using Lists = std::map<std::string, Group>;
using Pictures = std::map<std::string, std::string>;  // name and steps

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// @LIST, FIRST..LAST (labels padded to FIRST's width) or ALT|ALT... with ALT = LABEL[=VALUE].
Group ParseGroup(const std::string& body, const Lists& lists) {
  if (body.starts_with('@')) return lists.at(body.substr(1));
  Group group;
  if (const auto dots = body.find(".."); dots != std::string::npos) {
    for (int i = std::stoi(body); i <= std::stoi(body.substr(dots + 2)); ++i) {
      const std::string n = std::to_string(i);
      group.emplace_back(std::string(dots - std::min(dots, n.size()), '0') + n, n);
    }
    return group;
  }
  std::istringstream in(body);
  for (std::string alternative; std::getline(in, alternative, '|');) {
    const auto equals = alternative.find('=');
    const auto value = equals == std::string::npos ? alternative : alternative.substr(equals + 1);
    group.emplace_back(Trim(alternative.substr(0, equals)), Trim(value));
  }
  return group;
}

// One picture per alternative of the name's first group, its value standing for $N (the group's
// number) in the steps; the rest of the name is expanded in turn.
void Expand(const std::string& name, const std::string& steps, char n, const Lists& lists,
            Pictures& out) {
  const auto open = name.find('{'), close = name.find('}', open);
  if (open == std::string::npos) {
    if (!out.emplace(name, steps).second) throw std::invalid_argument("repeated name " + name);
    return;
  }
  for (const auto& [label, value] : ParseGroup(name.substr(open + 1, close - open - 1), lists)) {
    std::string text = steps;
    const std::string placeholder = {'$', n};
    for (auto at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
      text.replace(at, 2, value);
    }
    Expand(name.substr(0, open) + label + name.substr(close + 1), text, n + 1, lists, out);
  }
}

Pictures ReadPictures(std::istream& in) {
  std::vector<std::string> lines;  // a line starting with a space continues the one before
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(' ') && !lines.empty()) lines.back() += line;
    else if (!line.empty() && line[0] != '#') lines.push_back(line);
  }
  Lists lists;
  Pictures pictures;
  for (const std::string& line : lines) {
    const auto equals = line.find('='), colon = line.find(':');
    if (line[0] == '@') {
      lists[Trim(line.substr(1, equals - 1))] = ParseGroup(Trim(line.substr(equals + 1)), lists);
    } else if (colon != std::string::npos) {
      Expand(Trim(line.substr(0, colon)), line.substr(colon + 1), '1', lists, pictures);
    } else {
      throw std::invalid_argument("neither a list nor a picture: " + line);
    }
  }
  return pictures;
}

void Write(const std::string& path, const zantrel::diff::Picture& picture) {
  std::vector<std::uint8_t> bytes = {'Z', 'P', 'I', 'C'};
  for (std::int32_t field : {picture.width, picture.height, picture.bitsPerPixel}) {
    zantrel::test::Put32(bytes, field);
  }
  bytes.insert(bytes.end(), picture.bits.begin(), picture.bits.end());
  if (!zantrel::test::WriteBytes(path, bytes)) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  std::ifstream in(argc == 3 ? argv[1] : "");
  if (!in) {
    std::fprintf(stderr, "usage: zantrel-catalogue PICTURES OUTDIR\n");
    return 2;
  }
  std::string current = argv[1];  // what an error is about
  try {
    for (const auto& [name, steps] : ReadPictures(in)) {
      current = name;
      Write(std::string(argv[2]) + "/" + name + ".pic", zantrel::diff::DrawSteps(steps));
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", current.c_str(), error.what());
    return 1;
  }
  return 0;
}
