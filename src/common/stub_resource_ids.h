/* Resource identifiers of the stub, shared by its resource script and its code,
   and by the builder, which replaces the icon group and the version resource. */
#pragma once

/* The icon group Explorer and the windows show. */
#define VELMORAN_ICON_GROUP 1
