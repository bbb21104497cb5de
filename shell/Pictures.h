#pragma once
// The five pictures, each loaded once from the Resources folder and kept for
// the life of the process. A picture that cannot be had is nil, and the next
// call tries again: a file put in place or replaced meanwhile is read, one
// that stayed as it was is not decoded a second time.

#include "Files.h"

#include <memory>

std::shared_ptr<fw::Picture> ImageSmall();
std::shared_ptr<fw::Picture> Tembrisk();
std::shared_ptr<fw::Picture> Info();
std::shared_ptr<fw::Picture> Compute2();
std::shared_ptr<fw::Picture> Clear2();
