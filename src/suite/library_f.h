// Entries of the suite library for the code base: start-up, ending a run,
// unit opening by logical name, environment, program information, times.
// Texts are blank-padded fields; a text the routine sets is an rt::TextRef.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/fixed_text.h"

// Start-up from the command line registered with ptq7_command_line (or none);
// the second form takes the command line directly.  Ends the run on failure.
void ptqfyp_();
void ptqfyp_(int argc, const char* const* argv);
void ptq7_command_line(int argc, const char* const* argv);

// Ends the run (levels 0, 1, -1) or warns (2, -2) or prints (3, 4).
void ptqerr_(int32_t level, std::string_view message);
// Frees the library's records held for the code base (reflection files, space
// group) by running every registered tidy routine in the order registered.
void ptq7f_mem_tidy();
// A part of the library that holds records for the code base (the symmetry
// library's current space group, the reflection-file slots) registers the
// routine that frees them, so that ptq7f_mem_tidy frees them without this unit
// knowing their types.  Registering a routine again keeps one entry.
void ptq7f_register_tidy(void (*tidy)());

// Opens unit iun (0: a free unit, returned) on logical name lognam.
void ptqdpn_(int32_t& iun, std::string_view lognam, std::string_view status,
             std::string_view type, int32_t lrec, int32_t& ifail);
// The same with status code 1..6 and type code 1..4; a negative unit is not logged.
void ptqopn_(int32_t iun, std::string_view lognam, int32_t istat, int32_t itype, int32_t lrec,
             int32_t& ifail);
int32_t ptqnun_();
void ugtenv_(std::string_view name, rt::TextRef value);
void ugerr_(int32_t& status, rt::TextRef text);
int32_t lunsto_();
void ubytes_(int32_t& n, rt::TextRef word);
bool ptqexs_(std::string_view name);

// Program information and times.
void getelapsed_();
void ptqpnm_(rt::TextRef name);
void ptq7_prog_version_(rt::TextRef version, int32_t mode);
void ptq7_version_(rt::TextRef version);
void qprint_(int32_t level, std::string_view text);
void utime_(rt::TextRef time);
void ptqdat_(rt::TextRef date);
void uidate_(int32_t& month, int32_t& day, int32_t& year);
void ucputm_(float& t);
void ptqtim_(int32_t iflag, float& cpu, float& elapsed);
void ptqvrs_(int32_t unit, std::string_view program, std::string_view date);
void ptqrcs_(int32_t unit, std::string_view program, std::string_view datekeyword);
