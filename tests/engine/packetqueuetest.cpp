// The packet queues between the read thread and the decoders.

#include "viewer/engine/packetqueue.h"

#include <gtest/gtest.h>

#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

AVPacket* DataPacket(int size) {
    AVPacket* packet = av_packet_alloc();
    av_new_packet(packet, size);
    return packet;
}

class PacketQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        packet_queue_init(&m_queue);
        m_packet = av_packet_alloc();
        m_savedFinished = PlayerTables().finished[0];
    }
    void TearDown() override {
        packet_queue_destroy(&m_queue);
        av_packet_free(&m_packet);
        PlayerTables().finished[0] = m_savedFinished;
    }
    // Takes the flush marker every queue starts with.
    void TakeStartMarker() {
        PacketKind kind;
        ASSERT_EQ(packet_queue_get(&m_queue, m_packet, 0, &kind), 1);
        ASSERT_EQ(kind, PacketKind::Flush);
    }

    PacketQueue m_queue;
    AVPacket* m_packet = nullptr;
    int m_savedFinished = 0;
};

TEST_F(PacketQueueTest, CountsPacketsAndBytesWithTheNodeOverhead) {
    EXPECT_EQ(m_queue.neverWait, -1);
    EXPECT_EQ(m_queue.packetCount, 1);
    EXPECT_EQ(m_queue.byteSize, kPacketNodeBytes);
    TakeStartMarker();
    AVPacket* packet = DataPacket(1000);
    packet_queue_put(&m_queue, packet);
    EXPECT_EQ(packet->size, 0);
    av_packet_free(&packet);
    packet_queue_put_empty(&m_queue, 3);
    EXPECT_EQ(m_queue.packetCount, 2);
    EXPECT_EQ(m_queue.byteSize, 1000 + 2 * kPacketNodeBytes);

    PacketKind kind;
    ASSERT_EQ(packet_queue_get(&m_queue, m_packet, 0, &kind), 1);
    EXPECT_EQ(kind, PacketKind::Data);
    EXPECT_EQ(m_packet->size, 1000);
    av_packet_unref(m_packet);
    EXPECT_EQ(m_queue.byteSize, kPacketNodeBytes);
    ASSERT_EQ(packet_queue_get(&m_queue, m_packet, 0, &kind), 1);
    EXPECT_EQ(kind, PacketKind::Empty);
    EXPECT_EQ(m_packet->stream_index, 3);
    EXPECT_EQ(m_queue.packetCount, 0);
    EXPECT_EQ(m_queue.byteSize, 0);

    packet = DataPacket(10);
    packet_queue_put(&m_queue, packet);
    av_packet_free(&packet);
    packet_queue_flush(&m_queue);
    EXPECT_EQ(m_queue.packetCount, 0);
    EXPECT_EQ(m_queue.byteSize, 0);
}

TEST_F(PacketQueueTest, GetsOnAnEmptyQueue) {
    struct Case {
        const char* name;
        int neverWait;
        bool aborted;
        int block;
        int finished0;
        int expected;
    };
    const Case cases[] = {
        {"aborted", 1, true, 1, 0, -1},
        {"aborted, not blocking", 0, true, 0, 0, -1},
        {"not blocking", 0, false, 0, 0, 0},
        {"never waits, front playing", 1, false, 1, 0, 0},
        {"never waits, front finished", 1, false, 1, 1, -1},
    };
    for (const Case& c : cases) {
        PacketQueue queue;
        packet_queue_init(&queue);
        PacketKind kind;
        packet_queue_get(&queue, m_packet, 0, &kind);
        queue.neverWait = c.neverWait;
        PlayerTables().finished[0] = c.finished0;
        if (c.aborted)
            packet_queue_abort(&queue);
        EXPECT_EQ(packet_queue_get(&queue, m_packet, c.block, &kind), c.expected) << c.name;
        packet_queue_destroy(&queue);
    }
}

TEST_F(PacketQueueTest, ABlockingGetWaitsForAPutOrAnAbort) {
    TakeStartMarker();
    m_queue.neverWait = 0;
    // The put and the abort come only once the get is asleep on the empty queue.
    const auto waitForTheGet = [&] {
        while (m_queue.waiting == 0)
            std::this_thread::yield();
    };
    std::thread producer([&] {
        waitForTheGet();
        AVPacket* packet = DataPacket(5);
        packet_queue_put(&m_queue, packet);
        av_packet_free(&packet);
    });
    PacketKind kind;
    EXPECT_EQ(packet_queue_get(&m_queue, m_packet, 1, &kind), 1);
    EXPECT_EQ(m_packet->size, 5);
    av_packet_unref(m_packet);
    producer.join();

    std::thread aborter([&] {
        waitForTheGet();
        packet_queue_abort(&m_queue);
    });
    EXPECT_EQ(packet_queue_get(&m_queue, m_packet, 1, &kind), -1);
    aborter.join();
    EXPECT_EQ(m_queue.waiting, 0);
}

} // namespace
