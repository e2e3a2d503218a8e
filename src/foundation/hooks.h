// Platform helpers (library path from the environment, console line, clock,
// operating-system code) and the fixed call points that the refinement
// programs sharing this code base fill with work; here they are empty or
// nearly so.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// path = value of the environment variable `name`, else of CLIBD_MON.
void get_path_(int32_t mdoc, std::string_view name, rt::TextRef path, int32_t& ierr);
// One blank and the used part of line (at most 79 characters) on unit 6.
void displ_bl_(std::string_view line);
// ih(1) 0, then second, minute, hour, day, month, year.
void clock_(int32_t* ih);
void getnos_(rt::TextRef ch3);

void set_unit_corr_();
void set_link_corr_();
void wrt_batch_(std::string_view line);
void close_batch_(int32_t m);
void finish_();
// No documentation file exists in this program: the unit is cleared.
// Writes comlib.
void opendoc_(int32_t mmdoc);
void creat_vdw_rest_(int32_t mdoc, std::string_view nameo, float cutoff, float dmin,
                     int32_t& ierr);
// Clean-up hook of the error writer.
void kavlin_clean_up_files_();
