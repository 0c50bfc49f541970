#include "media/thread_per_task_pool.h"

#include <gst/gst.h>

namespace dorvem::mci {

namespace {

struct Call {
  GstTaskPoolFunction func;
  gpointer data;
};

gpointer RunCall(gpointer data) {
  const Call call = *static_cast<Call*>(data);
  delete static_cast<Call*>(data);
  call.func(call.data);
  return nullptr;
}

// The handle of a task is its GThread.
gpointer Push(GstTaskPool* /*pool*/, GstTaskPoolFunction func, gpointer data, GError** error) {
  auto* call = new Call{func, data};
  GThread* thread = g_thread_try_new("task", RunCall, call, error);
  if (thread == nullptr) delete call;
  return thread;
}

void Join(GstTaskPool* /*pool*/, gpointer id) {
  if (id != nullptr) g_thread_join(static_cast<GThread*>(id));
}

void DisposeHandle(GstTaskPool* /*pool*/, gpointer id) {
  if (id != nullptr) g_thread_unref(static_cast<GThread*>(id));
}

// Nothing to set up or to free: no thread lives outside a task.
void Prepare(GstTaskPool* /*pool*/, GError** /*error*/) {}
void Cleanup(GstTaskPool* /*pool*/) {}

GType ThreadPerTaskPoolType() {
  static const GType type = [] {
    GTypeQuery parent;
    g_type_query(GST_TYPE_TASK_POOL, &parent);
    return g_type_register_static_simple(
        GST_TYPE_TASK_POOL, "DorvemThreadPerTaskPool", guint(parent.class_size),
        [](gpointer klass, gpointer) {
          auto* pool = static_cast<GstTaskPoolClass*>(klass);
          pool->push = Push;
          pool->join = Join;
          pool->dispose_handle = DisposeHandle;
          pool->prepare = Prepare;
          pool->cleanup = Cleanup;
        },
        guint(parent.instance_size), nullptr, GTypeFlags(0));
  }();
  return type;
}

GstBusSyncReply OnMessage(GstBus* /*bus*/, GstMessage* message, gpointer data) {
  if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_STREAM_STATUS) return GST_BUS_PASS;
  GstStreamStatusType type;
  gst_message_parse_stream_status(message, &type, nullptr);
  const GValue* object = gst_message_get_stream_status_object(message);
  if (type == GST_STREAM_STATUS_TYPE_CREATE && object != nullptr &&
      G_VALUE_HOLDS(object, GST_TYPE_TASK))
    gst_task_set_pool(GST_TASK(g_value_get_object(object)), static_cast<GstTaskPool*>(data));
  return GST_BUS_PASS;
}

}  // namespace

GstTaskPool* NewThreadPerTaskPool() {
  return static_cast<GstTaskPool*>(g_object_new(ThreadPerTaskPoolType(), nullptr));
}

void UseTaskPool(GstElement* pipeline, GstTaskPool* pool) {
  GstBus* bus = gst_element_get_bus(pipeline);
  gst_bus_set_sync_handler(bus, OnMessage, gst_object_ref(pool), gst_object_unref);
  gst_object_unref(bus);
}

}  // namespace dorvem::mci
