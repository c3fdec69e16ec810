# Copies one header into the installed include folder, where every public header sits side
# by side under Kovet/: includes of other project headers ("display/KVTLabel.h") become
# includes of the neighbour ("KVTLabel.h"). Run with -DSOURCE=... -DTARGET=...
file(READ ${SOURCE} text)
string(REGEX REPLACE "#include \"[a-z]+/([A-Za-z0-9_]+\\.h)\"" "#include \"\\1\"" text "${text}")
file(WRITE ${TARGET} "${text}")
