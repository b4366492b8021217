#include "lsp/server.hpp"
