// Built by the layering test with one layer's include settings and an include of a layer
// above it (REVERTEX_UPWARD_HEADER): the build must not find that header.
#include REVERTEX_UPWARD_HEADER
