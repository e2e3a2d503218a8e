// The L1 and L2 views of the work descriptions.
#include "dictionary/work_refs.h"

namespace dictionary {

#define ORB_WORK_REFS(P)                                                                           \
  WorkRefs {                                                                                       \
    r.P##a_natom, r.P##a_aname, r.P##a_symb, r.P##a_chem, r.P##a_back, r.P##a_forw, r.P##a_iback,  \
        r.P##a_iforw, r.P##n_nconn, {&r.P##n_1atm, &r.P##n_2atm}, {&r.P##n_i1atm, &r.P##n_i2atm},  \
        r.P##b_nbond, {&r.P##b_1atm, &r.P##b_2atm}, {&r.P##b_i1atm, &r.P##b_i2atm}, r.P##g_nangl,  \
        {&r.P##g_1atm, &r.P##g_2atm, &r.P##g_3atm}, {&r.P##g_i1atm, &r.P##g_i2atm, &r.P##g_i3atm}, \
        r.P##g_val, r.P##t_ntors, {&r.P##t_1atm, &r.P##t_2atm, &r.P##t_3atm, &r.P##t_4atm},        \
        {&r.P##t_i1atm, &r.P##t_i2atm, &r.P##t_i3atm, &r.P##t_i4atm}, r.P##c_nchir,                \
        {&r.P##c_1atm, &r.P##c_2atm, &r.P##c_3atm, &r.P##c_4atm, &r.P##c_5atm,                     \
         &r.P##c_6atm, &r.P##c_7atm, &r.P##c_8atm, &r.P##c_9atm},                                  \
        {&r.P##c_i1atm, &r.P##c_i2atm, &r.P##c_i3atm, &r.P##c_i4atm, &r.P##c_i5atm,                \
         &r.P##c_i6atm, &r.P##c_i7atm, &r.P##c_i8atm, &r.P##c_i9atm},                              \
        r.P##c_sign, r.P##p_nplan, r.P##p_natom, r.P##p_atom, r.P##p_iatom                         \
  }

WorkRefs l1_refs() {
  r_scratch_t& r = r_scratch;
  return ORB_WORK_REFS(l1);
}

WorkRefs l2_refs() {
  r_scratch_t& r = r_scratch;
  return ORB_WORK_REFS(l2);
}

#undef ORB_WORK_REFS

}  // namespace dictionary
