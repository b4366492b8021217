set(ZEVO_LAYERS text lsp)
set(ZEVO_LINKS_text lsp)
set(ZEVO_LINKS_lsp )
