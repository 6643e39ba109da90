#pragma once
// The town list as one compact file: every GeoNames town of at least about
// 1,000 inhabitants with its country, first-level region, population, own
// time zone and the folded forms of all its names, ready to search without
// any work at load (the words are folded and sorted when the file is made).
//
// Made once by darvelle-make-towns from the GeoNames "cities1000" table and
// its admin1 names (tools/setup.sh does it); read once by PlaceIndex.
//
// Layout, all integers little-endian:
//   "DVTOWNS1", u32 towns, u32 folded names, u32 keys, u32 pool bytes,
//   towns   [48 bytes each]: i32 lat, i32 lon (1e-5 degree), u32 population,
//           u32 GeoNames id, u32 name, admin, admin code, country, zone (pool
//           offsets), u32 first folded name, u32 folded names, char cc[2], u16 0
//   folded  [u32 pool offset each]: each town's names folded, words joined by one space
//   keys    [u32 word, u32 town each]: every word of every folded name, sorted bytewise
//   pool    NUL-terminated UTF-8 strings
// Towns come most populous first.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "places/places.h"

namespace darvelle::places {

// Words of a text, case-folded and without accents ("Sant Julià" -> sant, julia).
std::vector<std::string> FoldedWords(std::string_view text);
// The folded words joined by single spaces: the form names are compared in.
std::string FoldedName(std::string_view text);

struct TownsFile {
  struct Town {
    Place place;            // names as the list has them (English country names)
    std::string adminCode;  // GeoNames admin1 code, for the translations' "CC.code" keys
    std::uint32_t firstFolded = 0;
    std::uint32_t foldedCount = 0;
  };
  struct Key {
    std::uint32_t word = 0;  // offset in pool
    std::uint32_t town = 0;
  };
  std::vector<Town> towns;
  std::vector<std::uint32_t> folded;  // pool offsets
  std::vector<Key> keys;              // sorted by word
  std::string pool;

  std::string_view At(std::uint32_t offset) const { return pool.c_str() + offset; }
};

// Reads a towns file. Throws std::runtime_error naming the file and what is wrong.
TownsFile ReadTownsFile(const std::filesystem::path& file);

// Makes a towns file from the GeoNames table (tab-separated, 19 columns, as
// "cities1000.txt") and the admin1 names (a JSON array of {"code": "CC.xx",
// "name": ...}). Returns the number of towns written. Throws
// std::runtime_error naming the input and line at fault.
std::size_t MakeTownsFile(const std::filesystem::path& citiesTable,
                          const std::filesystem::path& admin1Names,
                          const std::filesystem::path& output);

}  // namespace darvelle::places
