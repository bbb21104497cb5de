#include "ComputeRd.h"

// Built with -ffp-contract=off: no step may be fused into the next.
double ComputeRd(double rxx, double ryy, double absRxy)
{
    const double sum = rxx + ryy;
    const double half = 0.5 * sum;
    const double numerator = half - absRxy;
    const double denominator = 1.0 - absRxy;
    return numerator / denominator;
}
