// ThreadPerTaskPool: a GStreamer task pool that runs each task on a thread
// of its own, ended and joined with the task.
//
// Why. GStreamer's default pool hands a finished task's thread back to
// GLib's thread pool, where it waits half a second for more work and then
// ends. A pipeline built once and freed (decoding a sound into memory)
// would leave its threads behind for that long, to end at some moment of
// the user's typing. With this pool they are gone when the pipeline has
// reached NULL.
#pragma once

typedef struct _GstElement GstElement;
typedef struct _GstTaskPool GstTaskPool;

namespace dorvem::mci {

// A new pool (a full reference).
GstTaskPool* NewThreadPerTaskPool();

// Makes the tasks that `pipeline`'s elements create from now on run on
// `pool` (which the pipeline's bus holds a reference to). Replaces the
// bus's synchronous handler.
void UseTaskPool(GstElement* pipeline, GstTaskPool* pool);

}  // namespace dorvem::mci
