#ifndef _MIOStreamFwd
#define _MIOStreamFwd
#include <iosfwd>
#endif
