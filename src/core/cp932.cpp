// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cp932.h"

#include <QList>
#include <QSysInfo>

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace parlatone::cp932 {
namespace {

// glibc's "CP932" is the Windows table: it has the NEC and IBM extensions
// ("①", "Ⅰ") and keeps 0x5C as the backslash, which "SHIFT_JIS" does not.
constexpr char kCodePage[] = "CP932";
constexpr char kWide[] = "UTF-32LE";
// QString's own units, in the machine's byte order.
constexpr const char* kText =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as it can; returns errno of the stop (0 when all input was used).
  int Run(const char*& in, size_t& in_left, char*& out, size_t& out_left) {
    char* in_ptr = const_cast<char*>(in);
    const size_t result = iconv(cd_, &in_ptr, &in_left, &out, &out_left);
    in = in_ptr;
    return result == static_cast<size_t>(-1) ? errno : 0;
  }
  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

// iconv descriptors are not thread safe; one pair per thread keeps the codec
// usable from any thread without locks.
Converter& Encoder() {
  thread_local Converter converter(kCodePage, kWide);
  return converter;
}
Converter& Decoder() {
  thread_local Converter converter(kText, kCodePage);
  return converter;
}

// Encodes one code point; returns false when the code page has no form for it.
bool EncodeOne(char32_t code_point, QByteArray& out) {
  char buffer[8];
  const char* in = reinterpret_cast<const char*>(&code_point);
  size_t in_left = sizeof(code_point);
  char* out_ptr = buffer;
  size_t out_left = sizeof(buffer);
  Converter& encoder = Encoder();
  encoder.Reset();
  if (encoder.Run(in, in_left, out_ptr, out_left) != 0 || in_left != 0) {
    return false;
  }
  out.append(buffer, out_ptr - buffer);
  return true;
}

}  // namespace

QByteArray Encode(const QString& text) {
  QByteArray out;
  out.reserve(text.size() * 2);
  for (char32_t code_point : text.toUcs4()) {
    // ASCII needs no table and is by far the most common case.
    if (code_point < 0x80) {
      out.append(static_cast<char>(code_point));
    } else if (!EncodeOne(code_point, out)) {
      out.append('?');
    }
  }
  return out;
}

QString Decode(const QByteArray& bytes) {
  // Every byte gives at most one UTF-16 unit (code page 932 has nothing
  // outside the BMP, and a bad byte gives one replacement), so the text is
  // decoded in one pass straight into a string of that size.
  QString text(bytes.size(), Qt::Uninitialized);
  char* const begin = reinterpret_cast<char*>(text.data());
  char* out = begin;
  size_t out_left = static_cast<size_t>(bytes.size()) * sizeof(char16_t);
  const char* in = bytes.constData();
  size_t in_left = static_cast<size_t>(bytes.size());
  Converter& decoder = Decoder();
  decoder.Reset();
  while (in_left > 0 && decoder.Run(in, in_left, out, out_left) != 0 && in_left > 0) {
    if (out_left < sizeof(char16_t)) {
      break;  // cannot happen by the bound above; never write past the end
    }
    // EILSEQ (invalid sequence) or EINVAL (a lead byte cut off at the end):
    // give the byte its replacement character and step over it alone, so a
    // valid character that follows a stray lead byte is not swallowed.
    const char16_t replacement = QChar::ReplacementCharacter;
    memcpy(out, &replacement, sizeof(replacement));
    out += sizeof(replacement);
    out_left -= sizeof(replacement);
    ++in;
    --in_left;
    decoder.Reset();
  }
  text.truncate(static_cast<qsizetype>((out - begin) / sizeof(char16_t)));
  return text;
}

}  // namespace parlatone::cp932
