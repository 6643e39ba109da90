// darvelle-make-towns CITIES_TABLE ADMIN1_JSON OUTPUT: the towns file the
// program searches (src/places/towns_file.h) from the GeoNames "cities1000"
// table and the admin1 names.

#include <exception>
#include <iostream>

#include "places/towns_file.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: darvelle-make-towns CITIES_TABLE ADMIN1_JSON OUTPUT\n";
    return 2;
  }
  try {
    const std::size_t count = darvelle::places::MakeTownsFile(argv[1], argv[2], argv[3]);
    std::cout << "darvelle-make-towns: " << count << " towns written to " << argv[3] << "\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "darvelle-make-towns: " << e.what() << "\n";
    return 1;
  }
}
