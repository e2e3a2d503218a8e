// The report of a monomer that the library lacks: a PostScript document with
// the code, the name, a stereo pair of perspective drawings with labelled
// atoms and the restraint tables; under the monomer-library tool also the
// monomer's mmCIF and PDB files.
#pragma once

#include <cstdint>
#include <string_view>

// Output of the L1 work description.  mon_input replaces l1l_mname as the
// code unless it is blank or starts with "?" or a blank; vangle turns the
// drawing about its x axis (degrees).  Failures are reported, never passed
// on: ierr is 0.  Writes r_scratch.l2a_x/y/z (drawing points of the atoms
// with coordinates), crdinf.cro2_iun, and what opentx_ writes.
void graph_newl_(int32_t mdoc, std::string_view mod, std::string_view mon_input,
                 std::string_view prog, float vangle, int32_t& ierr);
// Title of the first page: code and name, or the code alone for a name of
// three characters or fewer or one starting with ".".
// Writes no table.
void title_monl_1_(std::string_view mon, std::string_view mname);
// Title of a later page: the code.
// Writes no table.
void title_monl_(std::string_view mon);
// Perspective image of point x in a box of extent ibx points, in tenths of a
// point; the eye stands on +z at 6 x radbor from the centre.
// Writes no table.
void proj_txl_(const float x[3], float radbor, int32_t ibx, float scale, int32_t ixp[2]);
// Outline of the current drawing box of ibx by iby points.
// Writes tx_orig, comorg.
void draw_frame_(int32_t ibx, int32_t iby);
