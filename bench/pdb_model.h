// The generated PDB model of the benchmarks: a cell, then chains of 100
// residues of eight atoms each, each chain ended by TER; chain letters
// cycle through A-Z and serial numbers through five digits.  A letter given
// again numbers its residues on from where it stopped: a chain letter that
// holds a number twice is refused, and the read would be measured to its
// refusal.
#pragma once

#include <cstdio>
#include <string>

// Writes about n atoms (whole residues) to path.
inline void write_pdb_model(const std::string& path, int n) {
  FILE* f = std::fopen(path.c_str(), "w");
  std::fprintf(f, "CRYST1  100.000  110.000  120.000  90.00  90.00  90.00 P 21 21 21    4\n");
  const char* names[8] = {" N  ", " CA ", " C  ", " O  ", " CB ", " CG ", " CD ", " CE "};
  const char* elems[8] = {"N", "C", "C", "O", "C", "C", "C", "C"};
  int serial = 0, chain = 0;
  while (serial < n) {
    const char id = static_cast<char>('A' + chain % 26);
    for (int r = 1; r <= 100 && serial < n; ++r) {
      for (int k = 0; k < 8; ++k) {
        ++serial;
        std::fprintf(f, "ATOM  %5d %4s LYS %c%4d    %8.3f%8.3f%8.3f  1.00 %5.2f           %s\n",
                     serial % 100000, names[k], id, r + 100 * (chain / 26), 0.01 * (serial % 9973),
                     0.02 * r, 0.5 * k,
                     10.0 + k, elems[k]);
      }
    }
    std::fprintf(f, "TER\n");
    ++chain;
  }
  std::fprintf(f, "END\n");
  std::fclose(f);
}
