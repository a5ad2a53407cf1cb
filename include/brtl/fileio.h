/* brtl: file I/O: the file table, Open and Close, sequential output and input. */
#ifndef BRTL_FILEIO_H
#define BRTL_FILEIO_H

#include "types.h"

BRTL_BEGIN_DECLS

BRTL_END_DECLS

#endif
