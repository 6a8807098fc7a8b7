# The defaults of the site settings, which the site file (/etc/tabel/site.conf) overrides at start.
# They suit the demo database.
set(TABEL_DEFAULT_SERVER "127.0.0.1" CACHE STRING "Default database server of the built-in connection")
set(TABEL_DEFAULT_DATABASE "tabel_demo" CACHE STRING "Default database of the built-in connection")
set(TABEL_RESTRICTED_LOGINS "kontrol1,kontrol2,kontrol3" CACHE STRING "Three logins, comma-separated, that may only accept records")
set(TABEL_EXTRA_RIGHTS_LOGIN "glavmaster" CACHE STRING "The login that, like sys, may also accept records")
set(TABEL_ACCESS_CODE "4162" CACHE STRING "The access code that logs anyone in as the system account; empty: off")
set(TABEL_SYSTEM_LOGIN "sys" CACHE STRING "The built-in connection's account")
set(TABEL_SYSTEM_PASSWORD "tovmask" CACHE STRING "Its password; empty: the built-in connection uses the typed login")
