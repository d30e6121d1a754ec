// Moved beside the page painting, which the command line shares.
#pragma once
#include "seiten/qtext.h"
