set(ZEVO_LAYERS text)
set(ZEVO_LINKS_text )
