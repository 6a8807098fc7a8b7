# Site settings: chosen once per installation, at build time. The defaults suit the demo database.
set(TABEL_DEFAULT_SERVER "127.0.0.1" CACHE STRING "Default database server of the built-in connection")
set(TABEL_DEFAULT_DATABASE "tabel_demo" CACHE STRING "Default database of the built-in connection")
set(TABEL_RESTRICTED_LOGINS "kontrol1,kontrol2,kontrol3" CACHE STRING "Three logins, comma-separated, that may only accept records")
set(TABEL_EXTRA_RIGHTS_LOGIN "glavmaster" CACHE STRING "The login that, like sys, may also accept records")
