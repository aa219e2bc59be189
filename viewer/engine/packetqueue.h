#pragma once
// The packet queues between a channel's read thread and its decoders.

#include "viewer/engine/videostate.h"

// Empties the queue, makes its lock and condition, neverWait -1, and puts a flush marker first so
// that the decoder starts clean.
void packet_queue_init(PacketQueue* q);
// Moves the packet's data into the queue and leaves the packet blank; a packet that cannot be kept
// is dropped (and freed). Returns 0, or -1 when dropped.
int packet_queue_put(PacketQueue* q, AVPacket* packet);
int packet_queue_put_flush(PacketQueue* q);
// The empty packet that drains a decoder at the end of the file.
int packet_queue_put_empty(PacketQueue* q, int streamIndex);
// 1 with a packet (Data and Empty move into packet; Flush leaves it blank), -1 when the queue is
// aborted, 0 when it is empty and block is 0. With block 1 on an empty queue: a neverWait queue
// answers at once, -1 once channel 0 has finished and 0 before; any other waits for a packet.
int packet_queue_get(PacketQueue* q, AVPacket* packet, int block, PacketKind* kind);
void packet_queue_flush(PacketQueue* q);
void packet_queue_abort(PacketQueue* q);
// Flushes and frees the lock and condition; the queue may be initialised again.
void packet_queue_destroy(PacketQueue* q);
