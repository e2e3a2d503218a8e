#!/bin/sh
# Writes the files of this directory again (see README.md).  Run it from
# this directory with the Debian packages pdb-tools, python3-parmed and
# python3-simtk (OpenMM) installed: sh make_files.sh
set -e
PY=/usr/bin/python3

# The entry as freesasa's test data hold it, and pdb-tools' mmCIF of it.
cp /usr/share/freesasa/test-data/1ubq.pdb 1ubq.pdb
pdb_tocif 1ubq.pdb >1ubq_pdb_tocif.cif

# ParmEd: the PDB files of the test data written as mmCIF.
$PY - <<'PYEOF'
import parmed
for name in ('1ubi', '3mht'):
    parmed.load_file('../../%s.pdb' % name).save('%s_parmed.cif' % name, overwrite=True)
PYEOF

# OpenMM: 1ubq without its TER record, so that the waters stand in chain
# A of the topology, written by the PDBx writer.
grep -v '^TER' 1ubq.pdb >1ubq_no_ter.pdb
$PY - <<'PYEOF'
from openmm.app import PDBFile, PDBxFile
pdb = PDBFile('1ubq_no_ter.pdb')
with open('1ubq_no_ter_openmm.cif', 'w') as out:
    PDBxFile.writeFile(pdb.topology, pdb.positions, out)
PYEOF
rm 1ubq_no_ter.pdb
