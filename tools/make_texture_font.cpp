// Writes the game's own copy of GLUT's two bitmap fonts, Helvetica 12 and 18, as a C++ table: the
// browser has no bitmap fonts, so its frame draws the panel texts from a texture made of these.
// The glyphs come from X11's Adobe Helvetica bitmap fonts in their Unicode encoding (PCF,
// gzip-compressed, as Debian's xfonts-75dpi installs them); their copyright and permission
// notice go into the table's head.
//
//   velmorak_make_texture_font OUT.cpp COPYRIGHT-FILE HELVETICA-12.pcf.gz HELVETICA-18.pcf.gz
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kProperties = 1;
constexpr uint32_t kMetrics = 4;
constexpr uint32_t kBitmaps = 8;
constexpr uint32_t kEncodings = 32;

constexpr uint32_t kCompressedMetrics = 0x100;
constexpr uint32_t kMsByteFirst = 1u << 2;
constexpr uint32_t kMsBitFirst = 1u << 3;

struct Failure {
  std::string what;
};

std::vector<unsigned char> ReadGzip(const std::string& path) {
  gzFile file = gzopen(path.c_str(), "rb");
  if (file == nullptr) throw Failure{"cannot open " + path};
  std::vector<unsigned char> bytes;
  unsigned char buffer[65536];
  int got;
  while ((got = gzread(file, buffer, sizeof buffer)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + got);
  bool failed = got < 0;
  gzclose(file);
  if (failed || bytes.empty()) throw Failure{"cannot read " + path};
  return bytes;
}

// A bounds-checked reader over one table; its byte order comes from the table's format word.
class Reader {
 public:
  Reader(const std::vector<unsigned char>& bytes, size_t at, bool bigEndian)
      : bytes_(bytes), at_(at), big_(bigEndian) {}
  uint32_t U32() { return Get(4); }
  int32_t I32() { return static_cast<int32_t>(Get(4)); }
  int16_t I16() { return static_cast<int16_t>(Get(2)); }
  uint8_t U8() { return static_cast<uint8_t>(Get(1)); }
  size_t at() const { return at_; }
  void Seek(size_t at) { at_ = at; }

 private:
  uint32_t Get(int n) {
    if (at_ + n > bytes_.size()) throw Failure{"the font file ends inside a table"};
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) {
      uint32_t b = bytes_[at_ + i];
      v |= big_ ? b << (8 * (n - 1 - i)) : b << (8 * i);
    }
    at_ += n;
    return v;
  }
  const std::vector<unsigned char>& bytes_;
  size_t at_;
  bool big_;
};

struct Glyph {
  int left = 0, right = 0, advance = 0, ascent = 0, descent = 0;
  std::vector<uint32_t> rows;  // top row first, leftmost pixel in the highest used bit
};

struct Font {
  std::string copyright, notice;
  std::vector<Glyph> glyphs;  // by glyph index
  std::vector<int> byCode;    // by code point up to U+FFFF, -1 where the font has no glyph
};

struct Table {
  uint32_t format = 0;
  size_t offset = 0;
  bool found = false;
};

Reader OpenTable(const std::vector<unsigned char>& bytes, const Table& table, const char* name,
                 uint32_t* format) {
  if (!table.found) throw Failure{std::string("the font has no ") + name + " table"};
  Reader head(bytes, table.offset, false);
  *format = head.U32();
  return Reader(bytes, head.at(), (*format & kMsByteFirst) != 0);
}

void ReadProperties(const std::vector<unsigned char>& bytes, const Table& table, Font* font) {
  uint32_t format;
  Reader r = OpenTable(bytes, table, "properties", &format);
  int32_t count = r.I32();
  if (count < 0 || count > 4096) throw Failure{"implausible property count"};
  struct Property {
    int32_t name;
    bool isString;
    int32_t value;
  };
  std::vector<Property> props;
  for (int32_t i = 0; i < count; ++i) {
    Property p;
    p.name = r.I32();
    p.isString = r.U8() != 0;
    p.value = r.I32();
    props.push_back(p);
  }
  if (count % 4 != 0) r.Seek(r.at() + 4 - count % 4);
  int32_t stringSize = r.I32();
  size_t strings = r.at();
  if (stringSize < 0 || strings + stringSize > bytes.size()) throw Failure{"bad property strings"};
  auto text = [&](int32_t offset) {
    std::string s;
    for (size_t i = strings + offset; offset >= 0 && i < strings + stringSize && bytes[i] != 0;
         ++i) {
      s += static_cast<char>(bytes[i]);
    }
    return s;
  };
  for (const Property& p : props) {
    if (!p.isString) continue;
    std::string name = text(p.name);
    if (name == "COPYRIGHT") font->copyright = text(p.value);
    if (name == "NOTICE") font->notice = text(p.value);
  }
}

void ReadMetrics(const std::vector<unsigned char>& bytes, const Table& table, Font* font) {
  uint32_t format;
  Reader r = OpenTable(bytes, table, "metrics", &format);
  bool compressed = (format & kCompressedMetrics) != 0;
  int32_t count = compressed ? r.I16() : r.I32();
  if (count < 0 || count > 65536) throw Failure{"implausible glyph count"};
  for (int32_t i = 0; i < count; ++i) {
    Glyph g;
    if (compressed) {
      g.left = r.U8() - 0x80;
      g.right = r.U8() - 0x80;
      g.advance = r.U8() - 0x80;
      g.ascent = r.U8() - 0x80;
      g.descent = r.U8() - 0x80;
    } else {
      g.left = r.I16();
      g.right = r.I16();
      g.advance = r.I16();
      g.ascent = r.I16();
      g.descent = r.I16();
      r.I16();  // attributes
    }
    if (g.right - g.left < 0 || g.right - g.left > 32 || g.ascent + g.descent < 0 ||
        g.ascent + g.descent > 64) {
      throw Failure{"a glyph's box is out of range"};
    }
    font->glyphs.push_back(g);
  }
}

void ReadBitmaps(const std::vector<unsigned char>& bytes, const Table& table, Font* font) {
  uint32_t format;
  Reader r = OpenTable(bytes, table, "bitmaps", &format);
  int32_t count = r.I32();
  if (count != static_cast<int32_t>(font->glyphs.size())) throw Failure{"bitmap count differs"};
  std::vector<uint32_t> offsets;
  for (int32_t i = 0; i < count; ++i) offsets.push_back(r.U32());
  uint32_t sizes[4];
  for (uint32_t& s : sizes) s = r.U32();
  const size_t data = r.at();
  const uint32_t pad = 1u << (format & 3);
  const uint32_t unit = 1u << ((format >> 4) & 3);
  const bool msByte = (format & kMsByteFirst) != 0;
  const bool msBit = (format & kMsBitFirst) != 0;
  for (int32_t i = 0; i < count; ++i) {
    Glyph& g = font->glyphs[i];
    const int width = g.right - g.left;
    const int height = g.ascent + g.descent;
    const size_t stride = (static_cast<size_t>(width) + 8 * pad - 1) / (8 * pad) * pad;
    for (int row = 0; row < height; ++row) {
      size_t start = data + offsets[i] + row * stride;
      if (start + stride > bytes.size()) throw Failure{"a glyph's bitmap runs past the file"};
      std::vector<unsigned char> line(bytes.begin() + start, bytes.begin() + start + stride);
      // Within a scan unit the bytes follow the byte order; bring them into bit order.
      if (unit > 1 && msByte != msBit) {
        for (size_t u = 0; u + unit <= line.size(); u += unit) {
          for (uint32_t k = 0; k < unit / 2; ++k) std::swap(line[u + k], line[u + unit - 1 - k]);
        }
      }
      uint32_t bits = 0;
      for (int x = 0; x < width; ++x) {
        unsigned char byte = line[x / 8];
        int bit = msBit ? 7 - x % 8 : x % 8;
        if ((byte >> bit) & 1) bits |= 1u << (width - 1 - x);
      }
      g.rows.push_back(bits);
    }
  }
}

void ReadEncodings(const std::vector<unsigned char>& bytes, const Table& table, Font* font) {
  uint32_t format;
  Reader r = OpenTable(bytes, table, "encodings", &format);
  int minCol = r.I16(), maxCol = r.I16(), minRow = r.I16(), maxRow = r.I16();
  r.I16();  // default character
  font->byCode.assign(0x10000, -1);
  if (minCol < 0 || maxCol > 0xFF || minCol > maxCol || minRow < 0 || maxRow > 0xFF ||
      maxRow < minRow) {
    throw Failure{"unexpected encoding range"};
  }
  for (int row = minRow; row <= maxRow; ++row) {
    for (int col = minCol; col <= maxCol; ++col) {
      int index = static_cast<uint16_t>(r.I16());
      if (index == 0xFFFF) continue;
      if (index >= static_cast<int>(font->glyphs.size())) throw Failure{"glyph index out of range"};
      font->byCode[row * 256 + col] = index;
    }
  }
}

Font ReadFont(const std::string& path) {
  std::vector<unsigned char> bytes = ReadGzip(path);
  Reader head(bytes, 0, false);
  if (head.U32() != 0x70636601) throw Failure{path + " is not a PCF font"};
  uint32_t count = head.U32();
  if (count > 64) throw Failure{"implausible table count"};
  Table properties, metrics, bitmaps, encodings;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t type = head.U32();
    Table t;
    t.format = head.U32();
    head.U32();  // size
    t.offset = head.U32();
    t.found = true;
    if (type == kProperties) properties = t;
    if (type == kMetrics) metrics = t;
    if (type == kBitmaps) bitmaps = t;
    if (type == kEncodings) encodings = t;
  }
  Font font;
  ReadProperties(bytes, properties, &font);
  ReadMetrics(bytes, metrics, &font);
  ReadBitmaps(bytes, bitmaps, &font);
  ReadEncodings(bytes, encodings, &font);
  return font;
}

// The paragraph of Debian's copyright file that covers the Adobe fonts.
std::string AdobeNotice(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw Failure{"cannot read " + path};
  std::string line, text;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line.rfind("font-adobe-75dpi:", 0) == 0) {
      inside = true;
      continue;
    }
    if (inside && !line.empty() && line[0] != ' ' && line[0] != '\t') break;
    if (inside) text += line + "\n";
  }
  while (!text.empty() && text.back() == '\n') text.pop_back();
  if (text.empty()) throw Failure{"no font-adobe-75dpi paragraph in " + path};
  return text;
}

std::string CommentLines(const std::string& text) {
  std::istringstream in(text);
  std::string line, out;
  while (std::getline(in, line)) {
    // A comment may not close itself.
    for (size_t at; (at = line.find("*/")) != std::string::npos;) line.replace(at, 2, "* /");
    out += " *" + (line.empty() ? "" : " " + line) + "\n";
  }
  return out;
}

// GLUT's fonts come from the older X11 encoding of these fonts, in which three characters had
// other glyphs: the apostrophe and the grave accent were the curly quotes, the hyphen the minus.
int GlutCodePoint(int code) {
  switch (code) {
    case 0x27:
      return 0x2019;
    case 0x2D:
      return 0x2212;
    case 0x60:
      return 0x2018;
    default:
      return code;
  }
}

// GLUT draws each character as a bitmap as wide as its advance, starting at the pen: ink left of
// the pen or beyond the advance is cut off.
Glyph CutToAdvance(Glyph g) {
  int from = std::max(g.left, 0), to = std::min(g.right, g.advance);
  if (to <= from) {
    g.rows.clear();
    g.left = g.right = g.ascent = g.descent = 0;
    return g;
  }
  for (uint32_t& row : g.rows) {
    row = (row >> (g.right - to)) & ((1u << (to - from)) - 1u);
  }
  g.left = from;
  g.right = to;
  return g;
}

void WriteFont(std::ostream& out, const char* name, const Font& font) {
  std::vector<uint32_t> rows;
  std::ostringstream glyphs;
  int ascent = 0, descent = 0;
  for (int code = 0; code < 256; ++code) {
    int index = font.byCode[GlutCodePoint(code)];
    if (index < 0 || code < 32) {
      glyphs << "    {0, 0, 0, 0, 0, 0},\n";
      continue;
    }
    const Glyph g = CutToAdvance(font.glyphs[index]);
    ascent = std::max(ascent, g.ascent);
    descent = std::max(descent, g.descent);
    glyphs << "    {" << g.advance << ", " << g.left << ", " << -g.descent << ", "
           << g.right - g.left << ", " << g.ascent + g.descent << ", " << rows.size() << "},\n";
    rows.insert(rows.end(), g.rows.begin(), g.rows.end());
  }
  out << "const FontGlyph k" << name << "Glyphs[256] = {\n" << glyphs.str() << "};\n\n";
  out << "const uint32_t k" << name << "Rows[] = {";
  for (size_t i = 0; i < rows.size(); ++i) {
    out << (i % 8 == 0 ? "\n    " : " ") << "0x" << std::hex << rows[i] << std::dec << ",";
  }
  out << "\n};\n\n";
  out << "}  // namespace\n\nconst TextureFontData k" << name << "Font = {k" << name << "Glyphs, k"
      << name << "Rows, " << ascent << ", " << descent << "};\n\nnamespace {\n\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr,
                 "usage: %s OUT.cpp COPYRIGHT-FILE HELVETICA-12.pcf.gz HELVETICA-18.pcf.gz\n",
                 argv[0]);
    return 2;
  }
  try {
    std::string notice = AdobeNotice(argv[2]);
    Font small = ReadFont(argv[3]);
    Font large = ReadFont(argv[4]);
    std::ostringstream out;
    out << "/* Generated by tools/make_texture_font.cpp from X11's Adobe Helvetica 12 and 18\n"
           " * bitmap fonts; do not edit. The glyphs are Adobe's; their notices:\n *\n"
        << CommentLines(small.copyright) << CommentLines(small.notice) << " *\n"
        << CommentLines(notice) << " */\n"
        << "#include \"texture_font.h\"\n\nnamespace {\n\n";
    WriteFont(out, "Helvetica12", small);
    WriteFont(out, "Helvetica18", large);
    out << "}  // namespace\n";
    std::ofstream file(argv[1], std::ios::binary);
    file << out.str();
    file.close();
    if (!file) throw Failure{std::string("cannot write ") + argv[1]};
  } catch (const Failure& failure) {
    std::fprintf(stderr, "velmorak_make_texture_font: %s\n", failure.what.c_str());
    return 1;
  }
  return 0;
}
