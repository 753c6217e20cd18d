// Includes the one header the build names in KORVANTA_PROBE_HEADER, through
// the include roots of the library the probe links and nothing else.
#include KORVANTA_PROBE_HEADER
