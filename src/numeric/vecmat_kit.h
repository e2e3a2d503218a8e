// Small single-precision vector and dense-matrix kit: filling, copying,
// scaled sums and scalar products of vectors with a size check, products of
// square matrices with vectors and matrices (with and without transposition),
// and storing one matrix in a stack of matrices.
//
// Matrices are column-major with a leading dimension np and are used over
// their leading n x n block; element (i, j) lies at (i-1) + (j-1)*np.
// The vector routines end the run on a bad size; the matrix routines report
// it through their `error` flag and write nothing.
#pragma once

#include <cstdint>

void init_vec_(int32_t size, float* vec, float value);
void init_vecn_(int32_t size, int32_t* vecn, int32_t valuen);
void veccopy_r_(int32_t n, int32_t nmax, float* vec_out, float alpha, const float* vec_in);
void avecpvec_r_(int32_t n, int32_t nmax, float alpha, const float* vec1, const float* vec2,
                 float* vec_out, int32_t& ierror);
float dot_r_(int32_t n, int32_t nmax, const float* vec1, const float* vec2);
float dot1_r_(int32_t n, int32_t nmax, const float* vec1, const float* vec2);

void mat2ident_(int32_t np, int32_t n, float* amat, bool& error);
void mat2vec_(int32_t np, int32_t n, const float* amat, const float* avec_in, float* avec_out,
              bool& error);
void mat2vect_(int32_t np, int32_t n, const float* amat, const float* avec_in, float* avec_out,
               bool& error);
void imat2vect_(int32_t np, int32_t n, const int32_t* amat, const int32_t* avec_in,
                int32_t* avec_out, bool& error);
void mattrans_(int32_t np, int32_t n, const float* amat, float* amat_out, bool& error);
void mat2mat_(int32_t np, int32_t n, const float* amat1, const float* amat2, float* amat_out,
              bool& error);
void matt2mat_(int32_t np, int32_t n, const float* amat1, const float* amat2, float* amat_out,
               bool& error);
void matt2matt_(int32_t np, int32_t n, const float* amat1, const float* amat2, float* amat_out,
                bool& error);
void mat2matt_(int32_t np, int32_t n, const float* amat1, const float* amat2, float* amat_out,
               bool& error);

void put_k_matrix_(int32_t np, int32_t n, int32_t nmax, const float* r_in, float* r_out,
                   int32_t k, bool& error);
void get_k_matrix_(int32_t np, int32_t n, int32_t nmax, const float* r_in, float* r_out,
                   int32_t k, bool& error);
