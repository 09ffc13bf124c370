// zantrel-catalogue PICTURES OUTDIR [NAME-PREFIX] draws every picture of PICTURES (see its head)
// whose name starts with the prefix into OUTDIR/<name>.pic: "ZPIC", width, height and bits per
// pixel as little-endian 32-bit integers, then the bits. OUTDIR --list prints the names instead.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "tests/diff/catalogue.h"
#include "tests/support/bmp_file.h"

namespace {

using zantrel::diff::Step;

struct Alternative {
  std::string label, value;
};
using Group = std::vector<Alternative>;
using Lists = std::map<std::string, Group>;

struct Entry {
  std::string name;
  std::vector<Step> steps;
};

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// @LIST, FIRST..LAST (labels padded to FIRST's width) or ALT|ALT... with ALT = LABEL[=VALUE].
Group ParseGroup(const std::string& body, const Lists& lists) {
  if (body.starts_with('@')) return lists.at(body.substr(1));
  Group group;
  if (const auto dots = body.find(".."); dots != std::string::npos) {
    for (int i = std::stoi(body.substr(0, dots)); i <= std::stoi(body.substr(dots + 2)); ++i) {
      const std::string n = std::to_string(i);
      group.push_back({std::string(dots - std::min(dots, n.size()), '0') + n, n});
    }
    return group;
  }
  std::istringstream in(body);
  for (std::string alternative; std::getline(in, alternative, '|');) {
    const auto equals = alternative.find('=');
    const std::string value = equals == std::string::npos ? alternative : alternative.substr(equals + 1);
    group.push_back({Trim(alternative.substr(0, equals)), Trim(value)});
  }
  return group;
}

// One entry per combination of the pattern's groups, $N in the steps replaced by group N's value.
void Expand(const std::string& pattern, const std::string& steps, const Lists& lists, std::vector<Entry>& out) {
  std::vector<std::string> literals{""};
  std::vector<Group> groups;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '{') {
      literals.back() += pattern[i];
      continue;
    }
    const std::size_t close = pattern.find('}', i);
    if (close == std::string::npos) throw std::invalid_argument("unclosed group");
    groups.push_back(ParseGroup(pattern.substr(i + 1, close - i - 1), lists));
    literals.push_back("");
    i = close;
  }
  for (std::vector<std::size_t> choice(groups.size(), 0);;) {
    Entry entry{literals[0], {}};
    std::string text = steps;
    for (std::size_t g = 0; g < groups.size(); ++g) entry.name += groups[g][choice[g]].label + literals[g + 1];
    for (std::size_t at = text.find('$'); at != std::string::npos; at = text.find('$', at)) {
      const std::size_t g = at + 1 < text.size() ? text[at + 1] - '1' : groups.size();
      if (g >= groups.size()) throw std::invalid_argument("no group for " + text.substr(at, 2));
      text.replace(at, 2, groups[g][choice[g]].value);  // a value may hold $N of an earlier group
    }
    std::istringstream parts(text);
    for (std::string part; std::getline(parts, part, ';');) {
      std::istringstream words(part);
      if (Step step{std::istream_iterator<std::string>(words), {}}; !step.empty()) entry.steps.push_back(step);
    }
    out.push_back(entry);
    std::size_t g = groups.size();
    while (g > 0 && ++choice[g - 1] == groups[g - 1].size()) choice[--g] = 0;
    if (g == 0) return;
  }
}

std::vector<Entry> ReadPictures(std::istream& in) {
  std::vector<std::string> lines;  // a line starting with a space continues the one before
  for (std::string line; std::getline(in, line);) {
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    if (line[0] == ' ' && !lines.empty()) lines.back() += " " + Trim(line);
    else lines.push_back(Trim(line));
  }
  Lists lists;
  std::vector<Entry> entries;
  for (const std::string& line : lines) {
    try {
      std::size_t colon = 0;  // the name ends at the first colon outside a group
      for (int depth = 0; colon < line.size() && (line[colon] != ':' || depth > 0); ++colon) {
        depth += line[colon] == '{' ? 1 : line[colon] == '}' ? -1 : 0;
      }
      if (const auto equals = line.find('='); line[0] == '@' && equals != std::string::npos) {
        lists[Trim(line.substr(1, equals - 1))] = ParseGroup(Trim(line.substr(equals + 1)), lists);
      } else if (colon < line.size()) {
        Expand(Trim(line.substr(0, colon)), line.substr(colon + 1), lists, entries);
      } else {
        throw std::invalid_argument("neither a list nor a picture");
      }
    } catch (const std::exception& error) {
      throw std::invalid_argument(std::string(error.what()) + " in: " + line);
    }
  }
  std::set<std::string> names;
  for (const Entry& e : entries) {
    const bool fileName = e.name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-_.") == std::string::npos;
    if (e.name.empty() || !fileName || !names.insert(e.name).second) throw std::invalid_argument("bad name " + e.name);
  }
  return entries;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: zantrel-catalogue PICTURES OUTDIR [NAME-PREFIX] | PICTURES --list\n");
    return 2;
  }
  std::vector<Entry> entries;
  try {
    std::ifstream in(argv[1]);
    if (!in) throw std::invalid_argument("cannot read the file");
    entries = ReadPictures(in);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
    return 2;
  }
  const std::string out = argv[2], prefix = argc == 4 ? argv[3] : "";
  int failures = 0;
  for (const Entry& e : entries) {
    if (out == "--list") {
      std::printf("%s\n", e.name.c_str());
    } else if (e.name.starts_with(prefix)) {
      try {
        const zantrel::diff::Picture picture = zantrel::diff::DrawSteps(e.steps);
        std::vector<std::uint8_t> bytes = {'Z', 'P', 'I', 'C'};
        for (std::int32_t field : {picture.width, picture.height, picture.bitsPerPixel}) {
          zantrel::test::Put32(bytes, field);
        }
        bytes.insert(bytes.end(), picture.bits.begin(), picture.bits.end());
        if (!zantrel::test::WriteBytes(out + "/" + e.name + ".pic", bytes)) throw std::runtime_error("cannot write");
      } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", e.name.c_str(), error.what());
        ++failures;
      }
    }
  }
  return failures == 0 ? 0 : 1;
}
