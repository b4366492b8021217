set(ZEVO_LAYERS text json)
set(ZEVO_LINKS_text )
set(ZEVO_LINKS_json )
