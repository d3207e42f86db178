// Shared objects on this platform have no entry-point notifications; the
// library needs none. This file only gives the target a source of its own.
