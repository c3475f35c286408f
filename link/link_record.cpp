#include "link/link.h"

s_link g_link;
