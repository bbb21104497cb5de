#pragma once
// The five pictures, each loaded once from the Resources folder and kept for
// the life of the process. A picture that cannot be had is nil, nothing is
// cached, and the next call tries again.

#include "Files.h"

#include <memory>

std::shared_ptr<fw::Picture> ImageSmall();
std::shared_ptr<fw::Picture> Tembrisk();
std::shared_ptr<fw::Picture> Info();
std::shared_ptr<fw::Picture> Compute2();
std::shared_ptr<fw::Picture> Clear2();
