// Reciprocal space of a loaded space group: Laue classes and their
// asymmetric-unit tests, putting reflections into the asymmetric unit and
// back, centric and epsilon zones, systematic absences, alternative origins,
// centring translations and the printed summaries.
#pragma once

#include "suite/ptq7_spg.h"

// Sets the Laue class of a record; 0, or 1 (record unchanged) for a null
// record or an unknown code.
int ptq7spg_load_laue(Spacegroup* sg, int code);
// The class whose asymmetric-unit condition is `condition` ("4/m" etc. tell
// apart the classes that share a condition); 0 when none.
int ptq7spg_laue_code_of(const char* condition, const char* laue_text);

int ASU_1b(int h, int k, int l);
int ASU_2_m(int h, int k, int l);
int ASU_mmm(int h, int k, int l);
int ASU_4_m(int h, int k, int l);
int ASU_4_mmm(int h, int k, int l);
int ASU_3b(int h, int k, int l);
int ASU_3bm(int h, int k, int l);
int ASU_3bmx(int h, int k, int l);
int ASU_6_m(int h, int k, int l);
int ASU_6_mmm(int h, int k, int l);
int ASU_m3b(int h, int k, int l);
int ASU_m3bm(int h, int k, int l);

int ptq7spg_is_in_asu(const Spacegroup* sg, int h, int k, int l);
int ptq7spg_is_in_pm_asu(const Spacegroup* sg, int h, int k, int l);
int ptq7spg_put_in_asu(const Spacegroup* sg, int hin, int kin, int lin, int& hout, int& kout,
                       int& lout);
void ptq7spg_generate_indices(const Spacegroup* sg, int isym, int hin, int kin, int lin,
                              int& hout, int& kout, int& lout);
float ptq7spg_phase_shift(int h, int k, int l, float phase, const float trn[3], int isign);
int ptq7spg_do_chb(const float chb[3][3]);

void ptq7spg_set_centric_zones(Spacegroup* sg);
void ptq7spg_set_epsilon_zones(Spacegroup* sg);
int ptq7spg_is_centric(const Spacegroup* sg, int h, int k, int l);
float ptq7spg_centric_phase(const Spacegroup* sg, int h, int k, int l);
int ptq7spg_check_centric_zone(int zone, int h, int k, int l);
int ptq7spg_get_multiplicity(const Spacegroup* sg, int h, int k, int l);
int ptq7spg_check_epsilon_zone(int zone, int h, int k, int l);
int ptq7spg_is_sysabs(const Spacegroup* sg, int h, int k, int l);
const char* ptq7spg_describe_centric_zone(int zone, char* buffer);
const char* ptq7spg_describe_epsilon_zone(int zone, char* buffer);

void ptq7spg_print_centric_zones(const Spacegroup* sg);
void ptq7spg_print_epsilon_zones(const Spacegroup* sg);
void ptq7spg_print_recip_spgrp(const Spacegroup* sg);
void ptq7spg_print_recip_ops(const Spacegroup* sg);

// Alternative origins of the group of nsym operators (4x4 each, column by
// column as the code base stores them; the first is the identity).  origins
// holds room for 216 triples.  Returns the count.
int ptq7spg_generate_origins(const char* name, int nsym, const float* rsm, float (*origins)[3],
                             int& polar_x, int& polar_y, int& polar_z, int print_flag);
// Centring translations of a lattice letter; the first is zero.  Returns the count.
int ptq7_spg_get_centering(const char* symbol, float (*centring_ops)[3]);
