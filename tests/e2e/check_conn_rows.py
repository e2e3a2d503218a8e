#!/usr/bin/python3
"""Checks that every _struct_conn row of written coordinate files leads to
atoms of the same file, as a peer reader finds them: the partner's chain,
number, residue name and atom name (and alternate code, when given) must
name an atom of the atom list.  Rows of type "gap" name no atoms and are
only checked for their residues.  Also counts rows that repeat another.

usage: check_conn_rows.py FILE.crd...   (prints one line per bad row and a
summary; exit status 1 when any row is bad or repeated, 2 when the peer
library is missing)
"""
import sys

try:
    import gemmi
except ImportError as e:
    # The check is worth nothing without its peer reader, so no row passes
    # unread: the suite must fail and say which interpreter lacks it.
    print(f'check_conn_rows.py: {sys.executable} cannot import gemmi ({e}); '
          'install the package python3-gemmi (apt-get install python3-gemmi) '
          'or configure with ORB_GEMMI_PYTHON set to a python3 that has it')
    sys.exit(2)


def strip(v):
    return gemmi.cif.as_string(v)


def code(row, i):
    """The insertion code of value i of a row, '' for none."""
    return strip(row[i]) if row.has(i) and not gemmi.cif.is_null(row[i]) else ''


def check(path):
    doc = gemmi.cif.read(path)
    block = doc.sole_block()
    # A number and its insertion code name a residue together (12 with the
    # code 3 is not 123); files written before the code had an item of its
    # own give none.
    atoms = block.find('_atom_site.', ['label_atom_id', 'label_alt_id', 'label_comp_id',
                                       'label_asym_id', 'auth_seq_id', '?pdbx_PDB_ins_code'])
    residues = set()
    names = set()
    for r in atoms:
        seq, comp, asym = strip(r[4]) + code(r, 5), strip(r[2]), strip(r[3])
        residues.add((asym, seq, comp))
        names.add((asym, seq, comp, strip(r[0]), strip(r[1])))
    conn = block.find('_struct_conn.', ['id', 'conn_type_id',
                                        'ptnr1_label_atom_id', 'ptnr1_label_alt_id',
                                        'ptnr1_auth_seq_id', 'ptnr1_label_comp_id',
                                        'ptnr1_label_asym_id', 'ptnr1_symmetry',
                                        'ptnr2_label_atom_id', 'ptnr2_label_alt_id',
                                        'ptnr2_auth_seq_id', 'ptnr2_label_comp_id',
                                        'ptnr2_label_asym_id', 'ptnr2_symmetry',
                                        '?pdbx_ptnr1_PDB_ins_code', '?pdbx_ptnr2_PDB_ins_code'])
    bad, seen, dup, rows = [], set(), 0, 0
    for r in conn:
        rows += 1
        v = [strip(r[i]) if r.has(i) and not gemmi.cif.is_null(r[i]) else '.'
             for i in range(14)]
        v[4] += code(r, 14)
        v[10] += code(r, 15)
        key = tuple(v[1:])
        if key in seen:
            dup += 1
            bad.append(('repeated', v))
        seen.add(key)
        for p in (2, 8):
            atom, alt, seq, comp, asym = v[p], v[p + 1], v[p + 2], v[p + 3], v[p + 4]
            if seq == '.' and comp == '.':
                continue  # a partner without a residue
            if (asym, seq, comp) not in residues:
                bad.append(('no residue', v))
                break
            if v[1] == 'gap' or atom == '.':
                continue
            alts = [alt] if alt not in ('.', '?') else None
            if not any((asym, seq, comp, atom, a) in names
                       for a in (alts or {n[4] for n in names if n[:4] == (asym, seq, comp, atom)})):
                bad.append(('no atom', v))
                break
    # The peer library's own reading: each partner of each connection it
    # reads must be an atom it finds.
    st = gemmi.make_structure_from_block(block)
    not_found = 0
    if len(st) > 0:
        for c in st.connections:
            for p in (c.partner1, c.partner2):
                if c.type == gemmi.ConnectionType.Unknown and not p.atom_name:
                    continue
                # The written rows give the alternate code under an item the
                # peer does not read: any alternate of the named atom will do.
                if p.altloc == '\0':
                    p.altloc = '*'
                if not st[0].find_cra(p, ignore_segment=True).atom:
                    not_found += 1
                    bad.append(('gemmi finds no atom', [c.name, str(p)]))
    nbad = len({b[1][0] for b in bad if b[0] != 'repeated'})
    return rows, dup, nbad, bad


def main(paths):
    total = nbad = ndup = 0
    for path in paths:
        try:
            rows, dup, nb, bad = check(path)
        except Exception as e:  # a file a peer cannot read is bad as a whole
            print(f'{path}: unreadable: {e}')
            nbad += 1
            continue
        total += rows
        ndup += dup
        nbad += nb
        for kind, v in bad:
            print(f'{path}: {kind}: {" ".join(v)}')
    print(f'{len(paths)} files, {total} connection rows, {nbad} bad rows, {ndup} repeated')
    return 1 if nbad or ndup else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
