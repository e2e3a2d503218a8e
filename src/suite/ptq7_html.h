// Summary-block and HTML markers of the log on standard output.
#pragma once

#include <cstdint>

// First call only: flags from the arguments and the suppress variables.
void ptq7h_init_lib_(int32_t html, int32_t summary);
void ptq7h_summary_beg_();
void ptq7h_summary_end_();
void ptq7h_pre_beg_();

// Library-side flags: n >= 0 sets, n < 0 returns.
int summary_output(int n);
int html_log_output(int n);
void ptq7h_init_clib_(int html, int summary);

// Forgets everything so that the next ptq7h_init_lib_ reads the environment again.
void ptq7h_reset_for_tests();
