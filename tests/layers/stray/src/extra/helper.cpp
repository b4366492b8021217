#include "text/utf8.hpp"
