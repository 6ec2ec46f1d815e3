#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Mathematics: integer arithmetic on signed 32-bit operands carried out in signed 64 bits, and
// a small linear congruential generator.
//
// Codes: 0 A + B; 1 A - B; 2 A * B; 3 A div B (toward zero); 4 A mod B (sign of A); 5 A and B;
// 6 A or B; 7 A xor B; 8 A shifted left by B; 9 A shifted right by B, filling with zeros;
// 10 not A; 11 the character code (0 to 255) of the first character of the A text; 12 the
// one-character text of A's low 8 bits; 13 seeds multiplier = A and increment = B (result
// A + B); 14 sets the state to A (result A); 15 advances the generator: V = multiplier * state
// + increment, wrapping in 32 bits; state = V mod 32767 (sign of V); result V mod A, which for
// a positive A is taken in 0 to A - 1 (V may be negative), and has the sign of V otherwise.
//
// Shift counts are B's low 8 bits; a count of 64 or more gives 0. Every failure gives the empty
// text: an operand or code that is not an integer text, division or remainder by 0, an empty
// text for code 11, a code outside 0 to 15. Results other than code 12's are signed decimal
// text.

// The generator's state: all 0 when the engine starts; one for the whole run.
struct MathematicsGenerator {
    std::int32_t multiplier = 0;
    std::int32_t increment = 0;
    std::int32_t state = 0;
};

// One operation: the code as written, the operand texts already expanded. A is read for every
// code but 11, B only for codes 0 to 9 and 13.
std::string Calculate(std::string_view code, std::string_view a, std::string_view b,
                      MathematicsGenerator& generator);
