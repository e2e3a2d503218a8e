# Writes the solvated model of 1ubi_charmm_solvated.pdb again with another
# number of waters, laid out as make_files.sh lays them out, and numbered
# past 9999 as simulation programs number them:
#
#   awk -v waters=10100 -v numbers=five -f more_waters.awk 1ubi_charmm_solvated.pdb
#
# numbers=five: 10000 and above in columns 23-27, the fifth digit where the
# insertion code stands (CHARMM); numbers=wrap: modulo 10000, 10000 written
# as 0 (GROMACS and several converters).  Atom serials are counted again.
# With waters=2000 it writes the file it reads, byte for byte.
BEGIN { angle = 104.52 * atan2(0, -1) / 180 }

function number_field(num) {
  if (num < 10000) return sprintf("%4d ", num)
  if (numbers == "five") return sprintf("%5d", num)
  return sprintf("%4d ", num % 10000)
}

function atom(name, num, x, y, z) {
  printf "ATOM  %5d %-4s TIP3 %s   %8.3f%8.3f%8.3f  1.00  0.00      SOLV\n",
    ++serial, name, number_field(num), x, y, z
}

/^ATOM/ && substr($0, 73, 4) == "SOLV" {
  if (!written) {
    for (n = 0; n < waters; n++) {
      x = -20.0 + 3.1 * (n % 13)
      y = -20.0 + 3.1 * (int(n / 13) % 13)
      z = 50.0 + 3.1 * int(n / 169)
      atom(" OH2", n + 1, x, y, z)
      atom(" H1", n + 1, x + 0.9572, y, z)
      atom(" H2", n + 1, x + 0.9572 * cos(angle), y + 0.9572 * sin(angle), z)
    }
    written = 1
  }
  next
}
/^ATOM/ { printf "ATOM  %5d%s\n", ++serial, substr($0, 12); next }
{ print }
