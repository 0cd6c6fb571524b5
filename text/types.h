// The value types every procedure of Linkmill is written in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace linkmill {

// GBK (code page 936) bytes without a zero byte inside. Positions count bytes
// from 1; a search that finds nothing gives -1; empty and missing are one value.
using Text = std::string;

// A counted run of bytes that may hold zero bytes.
using ByteBuffer = std::vector<unsigned char>;

// Lists whose elements are numbered from 1 by ListItem.
using TextList = std::vector<Text>;
using IntList = std::vector<std::int32_t>;

// Local calendar date and time to whole seconds.
struct DateTime {
  int year = 1970;
  int month = 1;   // 1..12
  int day = 1;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..59
};

}  // namespace linkmill
