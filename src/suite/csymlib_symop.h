// Symmetry operators as text ('X,Y,Z', '-Y,X-Y,Z+1/3', 'h,-k,l') and as
// matrices: the 4x4 row-major form (rotation in rows/columns 0-2, translation
// in column 3, row 3 = 0 0 0 1) and the Symop form.  Text spans are given by a
// start and an exclusive end; output spans are blank-filled, not terminated.
#pragma once

#include "suite/ptq7_spg.h"

// Reads one operator; returns where reading stopped, or null on error.  A
// span that goes on after the third row's separator is cut there.
const char* symop_to_mat4(const char* start, const char* end, float* mat4);
const char* symop_to_rotandtrn(const char* start, const char* end, Symop& op);
// Whether the text is one symmetry operator as a symmetry library must hold
// it, asked without a report (the check's own message names the text):
// three rows and nothing after the third; each row a signed sum of terms,
// each term a letter with a whole coefficient or a number with at most one
// divisor, no column named twice in a row, no character the reader would
// pass over; and a rotation of determinant 1 or -1.  What it accepts,
// symop_to_mat4 reads to the operator written.
bool symop_text_is_operator(const char* start, const char* end);
// The printed report of an operator that could not be read.
void symop_to_mat4_err(const char* start, const char* end);

// Writes one operator; returns start, or null when the span is too short.
char* mat4_to_symop(char* start, char* end, const float* mat4);
char* rotandtrn_to_symop(char* start, char* end, const Symop& op);
// The same operator in reciprocal letters ('+h,+k,+l').
char* mat4_to_recip_symop(char* start, char* end, const float* mat4);

void rotandtrn_to_mat4(float* mat4, const Symop& op);
void mat4_to_rotandtrn(Symop& op, const float* mat4);

// Reads a list of operators separated by '*' into consecutive 4x4 matrices
// (room for `capacity` of them); the count, or -1 on error.
int symfr_driver(const char* text, float* matrices, int capacity);
