#include "review/Rating.h"
