# The daemon's version for the installation handshake. The daemon's launchd list and the
# application's Info.plist both carry it; every daemon build that must replace installed
# ones changes it here, and both sides follow.
set(VENDREL_DAEMON_SERVER_VERSION "1.189")
