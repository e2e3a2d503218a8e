// Element-wise checks shared by the numerical routine tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <type_traits>

// got[k] == want[k] for every k of want.
template <typename T>
void expect_all_eq(const T* got, std::initializer_list<std::type_identity_t<T>> want,
                   const std::string& label = "") {
  int k = 0;
  for (T w : want) {
    EXPECT_EQ(got[k], w) << label << " element " << k;
    ++k;
  }
}

// |got[k] - want[k]| <= tol for every k of want.
template <typename T>
void expect_all_near(const T* got, std::initializer_list<double> want, double tol,
                     const std::string& label = "") {
  int k = 0;
  for (double w : want) {
    EXPECT_NEAR(got[k], w, tol) << label << " element " << k;
    ++k;
  }
}
