// One view of the work description L1 or L2: the members that routines with
// an L1 and an L2 twin read by atom name and number.  Both areas share every
// type, so a twin is written once over this view.
#pragma once

#include <cstdint>

#include "dictionary/lib_com.h"

namespace dictionary {

using NameCol = rt::Array1<rt::FixedText<4>, MAX1ATM>;
using IntCol = rt::Array1<int32_t, MAX1ATM>;
using ConnNames = rt::Array1<rt::FixedText<4>, MAX1CONN>;
using ConnInts = rt::Array1<int32_t, MAX1CONN>;
using BondNames = rt::Array1<rt::FixedText<4>, MAX1BND>;
using BondInts = rt::Array1<int32_t, MAX1BND>;
using AngNames = rt::Array1<rt::FixedText<4>, MAX1ANG>;
using AngInts = rt::Array1<int32_t, MAX1ANG>;
using TorNames = rt::Array1<rt::FixedText<4>, MAX1TOR>;
using TorInts = rt::Array1<int32_t, MAX1TOR>;
using ChirNames = rt::Array1<rt::FixedText<4>, MAX1CHR>;
using ChirInts = rt::Array1<int32_t, MAX1CHR>;
using PlaneNames = rt::Array2<rt::FixedText<4>, MAX1APL, MAX1PLN>;
using PlaneInts = rt::Array2<int32_t, MAX1APL, MAX1PLN>;

struct WorkRefs {
  int32_t& natom;
  NameCol& aname;
  NameCol& symb;
  NameCol& chem;
  NameCol& back;
  NameCol& forw;
  IntCol& iback;
  IntCol& iforw;

  int32_t& nconn;
  ConnNames* conn_atm[2];
  ConnInts* conn_i[2];

  int32_t& nbond;
  BondNames* bond_atm[2];
  BondInts* bond_i[2];

  int32_t& nangl;
  AngNames* ang_atm[3];
  AngInts* ang_i[3];
  rt::Array1<float, MAX1ANG>& ang_val;

  int32_t& ntors;
  TorNames* tor_atm[4];
  TorInts* tor_i[4];

  int32_t& nchir;
  ChirNames* chir_atm[9];
  ChirInts* chir_i[9];
  rt::Array1<rt::FixedText<8>, MAX1CHR>& chir_sign;

  int32_t& nplan;
  rt::Array1<int32_t, MAX1PLN>& plan_natom;
  PlaneNames& plan_atom;
  PlaneInts& plan_iatom;
};

WorkRefs l1_refs();
WorkRefs l2_refs();

}  // namespace dictionary
