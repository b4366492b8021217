// The shortest round-trip text of a finite double, in the one layout used both
// on the wire and in decoder texts.
#pragma once

#include <string>

namespace zevo::json {

// Plain decimal for 1e-5 <= |x| < 1e16 (whole numbers end in ".0"), otherwise
// "d[.ddd]e[-]X". `value` must be finite.
void append_finite_double(std::string& out, double value);

}  // namespace zevo::json
