#include "viewer/engine/packetqueue.h"

#include <SDL.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

int Append(PacketQueue* q, AVPacket* packet, PacketKind kind) {
    auto* node = new PacketNode;
    node->packet = packet;
    node->kind = kind;
    const int size = packet ? packet->size : 0;
    SDL_mutexP(q->mutex);
    if (q->last)
        q->last->next = node;
    else
        q->first = node;
    q->last = node;
    ++q->packetCount;
    q->byteSize += size + kPacketNodeBytes;
    SDL_CondSignal(q->cond);
    SDL_mutexV(q->mutex);
    return 0;
}

void FreeNode(PacketNode* node) {
    av_packet_free(&node->packet);
    delete node;
}

} // namespace

void packet_queue_init(PacketQueue* q) {
    q->first = q->last = nullptr;
    q->packetCount = 0;
    q->byteSize = 0;
    q->abortRequest = 0;
    q->mutex = SDL_CreateMutex();
    q->cond = SDL_CreateCond();
    q->neverWait = -1;
    packet_queue_put_flush(q);
}

int packet_queue_put(PacketQueue* q, AVPacket* packet) {
    AVPacket* kept = av_packet_alloc();
    if (!kept) {
        av_packet_unref(packet);
        return -1;
    }
    av_packet_move_ref(kept, packet);
    return Append(q, kept, PacketKind::Data);
}

int packet_queue_put_flush(PacketQueue* q) {
    return Append(q, nullptr, PacketKind::Flush);
}

int packet_queue_put_empty(PacketQueue* q, int streamIndex) {
    AVPacket* empty = av_packet_alloc();
    if (!empty)
        return -1;
    empty->stream_index = streamIndex;
    return Append(q, empty, PacketKind::Empty);
}

int packet_queue_get(PacketQueue* q, AVPacket* packet, int block, PacketKind* kind) {
    int result = 0;
    SDL_mutexP(q->mutex);
    for (;;) {
        if (q->abortRequest) {
            result = -1;
            break;
        }
        if (PacketNode* node = q->first) {
            q->first = node->next;
            if (!q->first)
                q->last = nullptr;
            --q->packetCount;
            q->byteSize -= (node->packet ? node->packet->size : 0) + kPacketNodeBytes;
            *kind = node->kind;
            if (node->packet && packet)
                av_packet_move_ref(packet, node->packet);
            FreeNode(node);
            result = 1;
            break;
        }
        if (!block) {
            result = 0;
            break;
        }
        if (q->neverWait == 1) {
            result = PlayerTables().finished[0] == 1 ? -1 : 0;
            break;
        }
        ++q->waiting;
        SDL_CondWait(q->cond, q->mutex);
        --q->waiting;
    }
    SDL_mutexV(q->mutex);
    return result;
}

void packet_queue_flush(PacketQueue* q) {
    SDL_mutexP(q->mutex);
    for (PacketNode* node = q->first; node;) {
        PacketNode* next = node->next;
        FreeNode(node);
        node = next;
    }
    q->first = q->last = nullptr;
    q->packetCount = 0;
    q->byteSize = 0;
    SDL_mutexV(q->mutex);
}

void packet_queue_abort(PacketQueue* q) {
    SDL_mutexP(q->mutex);
    q->abortRequest = 1;
    SDL_CondSignal(q->cond);
    SDL_mutexV(q->mutex);
}

void packet_queue_destroy(PacketQueue* q) {
    if (!q->mutex)
        return;
    packet_queue_flush(q);
    SDL_DestroyMutex(q->mutex);
    SDL_DestroyCond(q->cond);
    q->mutex = nullptr;
    q->cond = nullptr;
}
