#include "json/json.hpp"
