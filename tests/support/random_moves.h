// Random moves of model atoms from a portable generator: the same moves on
// every platform, so a test of noisy coordinates fails or passes alike
// everywhere.
#pragma once

#include <cmath>
#include <cstdint>

struct RandomMoves {
  uint64_t s;
  double next() {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(s >> 11) / 9007199254740992.0;
  }
  // A move of random direction and random length up to `most`.
  template <class A>
  void move(A& a, double most) {
    double d[3];
    const double n2 = direction(d, 1e-6);
    shift(a, d, most * next() / std::sqrt(n2));
  }
  // A move spread evenly through the sphere of radius `most`: most moves
  // come near the full length.
  template <class A>
  void move_in_sphere(A& a, double most) {
    double d[3];
    direction(d, 0.0);
    shift(a, d, most);
  }

 private:
  // A point drawn evenly in the unit ball (beyond `least` from its centre);
  // its squared length.
  double direction(double (&d)[3], double least) {
    double n2 = 0.0;
    do {
      n2 = 0.0;
      for (double& c : d) {
        c = 2.0 * next() - 1.0;
        n2 += c * c;
      }
    } while (n2 > 1.0 || n2 < least);
    return n2;
  }
  template <class A>
  static void shift(A& a, const double (&d)[3], double len) {
    using T = decltype(a.x);
    a.x += static_cast<T>(d[0] * len);
    a.y += static_cast<T>(d[1] * len);
    a.z += static_cast<T>(d[2] * len);
  }
};
