#pragma once

// The reliability of a difference score: (0.5 (Rxx + Ryy) - |Rxy|) / (1 - |Rxy|).
// Each step is rounded to a double before the next, so the result is the
// same to the last bit everywhere. Checks nothing: a correlation of 1 gives
// -infinity or NaN, as IEEE division does.
double ComputeRd(double rxx, double ryy, double absRxy);
