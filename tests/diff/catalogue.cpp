// zantrel-catalogue PICTURES OUTDIR [NAME-PREFIX]: expands the picture descriptions of PICTURES
// (see its head), adds the registered families, draws every picture (or those whose names start
// with the prefix) and writes each as OUTDIR/<name>.pic: "ZPIC", width, height and bits per pixel
// as little-endian 32-bit integers, then the bits. zantrel-catalogue PICTURES --list prints the
// names.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "tests/diff/catalogue.h"

namespace {

using zantrel::diff::Step;

struct Alternative {
  std::string label, value;
};
using Group = std::vector<Alternative>;

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> Split(const std::string& s, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(s);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(Trim(part));
  return parts;
}

Group ParseGroup(const std::string& body, const std::map<std::string, Group>& lists) {
  if (!body.empty() && body[0] == '@') {
    if (!lists.count(body.substr(1))) throw std::invalid_argument("unknown list " + body);
    return lists.at(body.substr(1));
  }
  Group group;
  if (const auto dots = body.find(".."); dots != std::string::npos) {  // labels padded to the first bound
    for (int i = std::stoi(body.substr(0, dots)); i <= std::stoi(body.substr(dots + 2)); ++i) {
      const std::string n = std::to_string(i);
      group.push_back({std::string(n.size() < dots ? dots - n.size() : 0, '0') + n, n});
    }
    return group;
  }
  for (const std::string& alternative : Split(body, '|')) {
    const auto equals = alternative.find('=');
    if (equals == std::string::npos) group.push_back({alternative, alternative});
    else group.push_back({Trim(alternative.substr(0, equals)), Trim(alternative.substr(equals + 1))});
  }
  return group;
}

struct Entry {
  std::string name;
  std::function<zantrel::diff::Picture()> draw;
};

std::vector<Entry>& Registered() {
  static std::vector<Entry> entries;
  return entries;
}

// One entry per combination of the name's groups, $N in the steps replaced by group N's value.
void Expand(const std::string& name, const std::string& steps,
            const std::map<std::string, Group>& lists, std::vector<Entry>& out) {
  std::vector<std::string> literals{""};
  std::vector<Group> groups;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '{') {
      literals.back() += name[i];
      continue;
    }
    const std::size_t close = name.find('}', i);
    if (close == std::string::npos) throw std::invalid_argument("unclosed group");
    groups.push_back(ParseGroup(name.substr(i + 1, close - i - 1), lists));
    literals.push_back("");
    i = close;
  }
  for (std::vector<std::size_t> choice(groups.size(), 0);;) {
    std::string name = literals[0], text = steps;
    std::vector<Step> parsed;
    for (std::size_t g = 0; g < groups.size(); ++g) name += groups[g][choice[g]].label + literals[g + 1];
    for (std::size_t at = text.find('$'); at != std::string::npos; at = text.find('$', at)) {
      const std::size_t g = at + 1 < text.size() ? static_cast<std::size_t>(text[at + 1] - '1') : 99;
      if (g >= groups.size()) throw std::invalid_argument("no group for " + text.substr(at, 2));
      text.replace(at, 2, groups[g][choice[g]].value);
    }
    for (const std::string& part : Split(text, ';')) {
      std::istringstream words(part);
      Step step{std::istream_iterator<std::string>(words), {}};
      if (!step.empty()) parsed.push_back(step);
    }
    out.push_back({name, [parsed] { return zantrel::diff::DrawSteps(parsed); }});
    std::size_t g = groups.size();
    while (g > 0 && ++choice[g - 1] == groups[g - 1].size()) choice[--g] = 0;
    if (g == 0) return;
  }
}

std::vector<Entry> ReadPictures(std::istream& in) {
  std::vector<std::string> lines;  // a line starting with a space continues the one before
  for (std::string line; std::getline(in, line);) {
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    if (std::isspace(static_cast<unsigned char>(line[0])) && !lines.empty()) lines.back() += " " + Trim(line);
    else lines.push_back(Trim(line));
  }
  std::map<std::string, Group> lists;
  std::vector<Entry> entries;
  for (const std::string& line : lines) {
    try {
      std::size_t colon = 0;  // the name ends at the first colon outside a group
      for (int depth = 0; colon < line.size() && (line[colon] != ':' || depth > 0); ++colon) {
        depth += line[colon] == '{' ? 1 : line[colon] == '}' ? -1 : 0;
      }
      if (line[0] == '@' && line.find('=') != std::string::npos) {
        const auto equals = line.find('=');
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
  entries.insert(entries.end(), Registered().begin(), Registered().end());
  std::set<std::string> names;
  for (const Entry& e : entries) {
    const bool fileName = e.name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-_.") == std::string::npos;
    if (e.name.empty() || !fileName || !names.insert(e.name).second) throw std::invalid_argument("bad or repeated name " + e.name);
  }
  return entries;
}

bool WritePicture(const std::string& path, const zantrel::diff::Picture& picture) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  unsigned char header[16] = {'Z', 'P', 'I', 'C'};
  const std::int32_t fields[3] = {picture.width, picture.height, picture.bitsPerPixel};
  for (int i = 0; i < 12; ++i) header[4 + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(fields[i / 4]) >> (8 * (i % 4)));
  bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header;
  ok = ok && std::fwrite(picture.bits.data(), 1, picture.bits.size(), file) == picture.bits.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

namespace zantrel::diff {

bool AddPicture(std::string name, std::function<Picture()> draw) {
  Registered().push_back({std::move(name), std::move(draw)});
  return true;
}

Picture CaptureBitmap(HBITMAP bitmap, bool topDown) {
  BITMAP record{};
  Picture picture;
  if (!bitmap || GetObjectA(bitmap, sizeof record, &record) != sizeof record) return picture;
  picture = {record.bmWidth, topDown ? -record.bmHeight : record.bmHeight, record.bmBitsPixel, {}};
  const auto* bits = static_cast<const std::uint8_t*>(record.bmBits);
  if (bits) picture.bits.assign(bits, bits + static_cast<std::size_t>(record.bmWidthBytes) * static_cast<std::size_t>(record.bmHeight));
  return picture;
}

}  // namespace zantrel::diff

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
  const std::string prefix = argc == 4 ? argv[3] : "";
  int failures = 0;
  for (const Entry& e : entries) {
    if (std::strcmp(argv[2], "--list") == 0) {
      std::printf("%s\n", e.name.c_str());
    } else if (e.name.compare(0, prefix.size(), prefix) == 0) {
      try {
        if (!WritePicture(std::string(argv[2]) + "/" + e.name + ".pic", e.draw())) {
          throw std::runtime_error("cannot write");
        }
      } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", e.name.c_str(), error.what());
        ++failures;
      }
    }
  }
  return failures == 0 ? 0 : 1;
}
