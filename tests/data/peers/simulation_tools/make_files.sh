#!/bin/sh
# Writes the files of this directory again with the programs named in
# README.md (Debian packages; run with the system's python3).  Run it from
# this directory: sh make_files.sh
set -e
PY=/usr/bin/python3

# pdb2pqr: ubiquitin with the AMBER charges and radii, cut to MET 1 to ILE 3
# (columns 23-26) and the END record.
pdb2pqr --ff=AMBER /usr/share/freesasa/test-data/1ubq.pdb 1ubq_full.pqr >/dev/null 2>&1
awk '/^(ATOM|HETATM)/ { if (substr($0, 23, 4) + 0 <= 3) print; next } /^END/ { print }' \
  1ubq_full.pqr >1ubq_pdb2pqr.pqr
rm -f 1ubq_full.pqr 1ubq_full.log

# apbs: its example lysozyme, as shipped, cut to LYS 1 to PHE 3 and the END
# record.
awk '/^(ATOM|HETATM)/ { if (substr($0, 23, 4) + 0 <= 3) print; next } /^END/ { print }' \
  /usr/share/apbs/examples/bem-pKa/test_proteins/2LZT-ASH66.pqr >2LZT_apbs.pqr

# pdb-tools: chain A of the fibril; residues 151-153 of the capsid domain
# (its first, selenomethionine 151, then ASP 152 and ILE 153), without waters;
# of the other records only the cell and the ends.
pdb_selchain -A ../../2BEG.pdb | grep -E '^(CRYST1|ATOM|HETATM|TER|END)' >2BEG_A.pdb
pdb_selres -151:153 ../../1A8O.pdb | pdb_delresname -HOH | grep -E '^(CRYST1|ATOM|HETATM|TER|END)' \
  >1A8O_mse.pdb

# OpenMM: the same models through its PDBx writer, which gives every atom
# occupancy 0.0.
$PY - <<'PYEOF'
from openmm.app import PDBFile, PDBxFile
for name in ('2BEG_A', '1A8O_mse'):
    p = PDBFile(name + '.pdb')
    with open(name + '_openmm.cif', 'w') as out:
        PDBxFile.writeFile(p.topology, p.positions, out)
PYEOF

# OpenMM's own water-model boxes, copied as they are shipped: the cell and
# the first five waters, then END.  The three-site forms leave out the
# massless sites (M of TIP4P-Ew, M1 and M2 of TIP5P).
for model in tip4pew tip5p; do
  awk '/^CRYST1/ { print; next } /^(ATOM|HETATM)/ { if (substr($0, 23, 4) + 0 <= 5) print }
       END { print "END" }' /usr/lib/python3/dist-packages/openmm/app/data/$model.pdb >${model}_waters.pdb
  awk 'substr($0, 1, 4) != "ATOM" || substr($0, 14, 1) != "M"' ${model}_waters.pdb \
    >${model}_waters_three_site.pdb
done

# gemmi: the TIP4P-Ew waters in its mmCIF, the sites as rows of their own.
$PY - <<'PYEOF'
import gemmi
st = gemmi.read_structure('tip4pew_waters.pdb')
st.setup_entities()
st.make_mmcif_document().write_file('tip4pew_waters_gemmi.cif')
PYEOF

# ACE-ALA-LYS of 2jo4 (model 1): the archive's LINK record of ALA A 2, the
# cell and scale records and the atoms of residues 1-3 of chain A; OpenMM's
# PDBx form of it, keeping the file's numbers, and gemmi's PDB form of that.
P=../renamed_and_sorted/2jo4_model1.pdb
{
  grep -E '^LINK.{17}A   2 ' $P
  grep -E '^(CRYST1|SCALE)' $P
  awk 'substr($0, 1, 6) ~ /^(ATOM  |HETATM)$/ && substr($0, 22, 1) == "A" && substr($0, 23, 4) + 0 <= 3' $P
  echo TER
  echo END
} >pep3.pdb
$PY - <<'PYEOF'
from openmm.app import PDBFile, PDBxFile
p = PDBFile('pep3.pdb')
with open('pep3_openmm.cif', 'w') as out:
    PDBxFile.writeFile(p.topology, p.positions, out, keepIds=True)
PYEOF
gemmi convert pep3_openmm.cif pep3_openmm_gemmi.pdb

# Four SWM4-NDP waters of OpenMM's tests as gemmi saves them (the file as
# shipped in the project's shared models): the Drude site DOH2 and the
# massless site OM of element X.  The three-site form leaves both out.
awk '/^(ATOM|HETATM)/ { n = substr($0, 13, 4); if (n == "DOH2" || n == "OM  ") next } { print }' \
  swm4ndp_gemmi.pdb >swm4ndp_three_site.pdb

# A solvated box as CHARMM-GUI writes it (1ubi's chain as segment PROA, ten
# TIP3 waters, segment SOLV, one SOD ion, segment IONS; the layout of
# ../1ubi_charmm_solvated.pdb) and ParmEd's PDB and mmCIF forms of it: the
# PDB writer cuts TIP3 to TIP and drops the segments, the mmCIF writer keeps
# TIP3 and labels no chain.
$PY - <<'PYEOF'
import math
import parmed
lines = ['CRYST1  100.000  100.000  100.000  90.00  90.00  90.00 P 1           1\n']
serial = 0
for l in open('../1ubi_charmm_solvated.pdb'):
    if l.startswith('ATOM') and l[72:76] == 'PROA':
        serial += 1
        lines.append('ATOM  %5d%s' % (serial, l[11:]))
def atom(name, res, num, x, y, z, seg):
    global serial
    serial += 1
    return 'ATOM  %5d %-4s %-4s %4d    %8.3f%8.3f%8.3f  1.00  0.00      %-4s\n' % (
        serial, name, res, num, x, y, z, seg)
angle = 104.52 * math.pi / 180
for n in range(10):
    x, y, z = -20.0 + 3.1 * n, -20.0, 50.0
    lines.append(atom(' OH2', 'TIP3', n + 1, x, y, z, 'SOLV'))
    lines.append(atom(' H1', 'TIP3', n + 1, x + 0.9572, y, z, 'SOLV'))
    lines.append(atom(' H2', 'TIP3', n + 1, x + 0.9572 * math.cos(angle),
                      y + 0.9572 * math.sin(angle), z, 'SOLV'))
lines.append(atom('SOD', 'SOD', 1, 80.0, 0.0, 0.0, 'IONS'))
lines.append('END\n')
open('1ubi_box_charmm.pdb', 'w').writelines(lines)
s = parmed.load_file('1ubi_box_charmm.pdb')
s.atoms[-1].atomic_number = 11
s.write_pdb('1ubi_box_parmed.pdb')
s.write_cif('1ubi_box_parmed.cif')
PYEOF
rm 1ubi_box_charmm.pdb
