// The source that carries the test programs' shared precompiled header (TestPrecompiled.h).
