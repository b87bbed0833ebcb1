#ifndef _MIOStream
#define _MIOStream
#include <iostream>
#endif
