#include "link/run_check.h"

#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/TSaveFile.h"
#include "core/helpers.h"
#include "core/platform.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/IDevice.h"
#include "devices/TCheck.h"
#include "devices/TDevProg.h"
#include "devices/TDevTools.h"
#include "devices/TDevToolsExec.h"
#include "devices/TMemoryExec.h"
#include "devices/check_messages.h"
#include "devices/exec_messages.h"
#include "devices/param_schema.h"
#include "formats/TFormat.h"
#include "link/TProg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QSet>
#include <QVector>
#include <QtAlgorithms>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// A file the user gives that a command reads: the key that names it, the
// keys of the range read, and the check its executor makes at its open.
struct InputFile
{
    const char *kind;
    const char *key;
    QVector<const char *> rangeKeys;
    QString (*problem)(const TData &params);
};

// That of a file write or verify, or of a CRC; null for other commands.
const InputFile *inputFileOf(const QString &code)
{
    static const InputFile chip{"chip", FILE_FILE, {FILE_FILE, FILE_FORMAT, FILE_ADDR_FILE, FILE_ADDR_DEVICE, FILE_COUNT},
                                &TMemoryExec::fileDataProblem};
    static const InputFile crc{"crc", CRC_FILE, {CRC_FILE, CRC_FORMAT, CRC_ADDR, CRC_COUNT},
                               &TDevToolsExec::crcFileProblem};
    if (TMemoryExec::fileUseOf(code) == TMemoryExec::FileUse::Reads)
        return &chip;
    return code == QLatin1String(CMD_CALC_CRC) ? &crc : nullptr;
}

// What the command lacks of what the commands before it choose: the
// programmer, or a programmer or device that carries the code out. Valid
// when it lacks nothing of that, or only the device.
TCheck providerCheck(TDataCmd *cmd)
{
    const QString code = cmd->cmd();
    IDevice *handler = cmd->handler();
    if (TDevTools::hasCommand(code)) {
        if (handler && handler->hasCmd(code))
            return TCheck::valid();
        return TCheck::notOffered(code, QLatin1String(GROUP_TOOLS));
    }
    TProg *prog = cmd->prog();
    if (!prog) {
        const TDataCmd *setProg = dataPrj.progCmdBefore(cmd->id());
        const QString name = setProg ? schema::text(setProg->toHash(), SET_PROG_PROG) : QString();
        return TCheck::refused(QLatin1String(SET_PROG_PROG), name.isEmpty() ? lang.text(checkmsg::NO_PROG)
                                                              : lang.text(checkmsg::PROG_UNKNOWN).arg(name));
    }
    if (TDevProg::hasCommand(code)) {
        if (code == QLatin1String(CMD_SET_DEVICE) || code == QLatin1String(CMD_AUTO_DETECT)
            || prog->supportsCommand(code))
            return TCheck::valid();
        const TDataCmd *setProg = dataPrj.progCmdBefore(cmd->id());
        return TCheck::notOffered(code, setProg ? schema::text(setProg->toHash(), SET_PROG_PROG) : QString());
    }
    // Without a device the worker's own word says it: not set or not found.
    IDevice *device = cmd->device();
    if (device && !device->hasCmd(code))
        return TCheck::notOffered(code, device->name());
    return TCheck::valid();
}

} // namespace

namespace runcheck {

QString flagRefusal(TDataCmd *cmd, const TData &record, const QString &name)
{
    IDevice *handler = cmd->handler();
    const bool validDev = record.value(QLatin1String(REC_VALID_DEV)).toBool();
    const bool validParam = record.value(QLatin1String(REC_VALID_PARAM)).toBool();
    const QString shown = name.isEmpty() ? IDevice::shownName(record) : name;
    if (!handler || !validDev) {
        const TCheck provider = providerCheck(cmd);
        return provider ? lang.text(execmsg::INVALID_DEVICE).arg(shown) : provider.text(shown);
    }
    if (validParam)
        return QString();
    const QString text = handler->refusalText(record);
    // Refused when it was validated, though its check passes now.
    return text.isEmpty() ? lang.text(execmsg::INVALID_PARAMS).arg(shown) : text;
}

} // namespace runcheck

namespace {

// A set of small numbers, grown as numbers are put in.
class Bits
{
public:
    void set(int i)
    {
        const size_t word = size_t(i) >> 6;
        if (word >= m_words.size())
            m_words.resize(word + 1, 0);
        m_words[word] |= quint64(1) << (i & 63);
    }
    bool test(int i) const
    {
        const size_t word = size_t(i) >> 6;
        return word < m_words.size() && (m_words[word] >> (i & 63) & 1);
    }
    bool isEmpty() const { return m_words.empty(); }
    void unite(const Bits &other)
    {
        if (other.m_words.size() > m_words.size())
            m_words.resize(other.m_words.size(), 0);
        for (size_t w = 0; w < other.m_words.size(); ++w)
            m_words[w] |= other.m_words[w];
    }
    // Calls f with every number in the set, in rising order.
    template<class F>
    void forEach(F f) const
    {
        for (size_t w = 0; w < m_words.size(); ++w)
            for (quint64 bits = m_words[w]; bits; bits &= bits - 1)
                f(int(w * 64 + size_t(qCountTrailingZeroBits(bits))));
    }

private:
    std::vector<quint64> m_words;
};

// Edges of a graph over the numbers 0..n-1: the heads of node v are
// to[start[v]] .. to[start[v + 1] - 1].
struct Edges
{
    QVector<int> start{0};
    QVector<int> to;

    int nodes() const { return start.size() - 1; }
    const int *begin(int v) const { return to.constData() + start.at(v); }
    const int *end(int v) const { return to.constData() + start.at(v + 1); }
};

// The strongly connected components of the part of the graph that the
// roots reach (comp[v]: -1 for a node they do not reach), numbered in the
// order they close: an edge leads into a component of the same or a lower
// number. Their count.
int components(const Edges &edges, const QVector<int> &roots, QVector<int> &comp)
{
    const int n = edges.nodes();
    comp.fill(-1, n);
    QVector<int> index(n, -1), low(n, 0), stack;
    QVector<bool> onStack(n, false);
    QVector<QPair<int, const int *>> calls;
    int next = 0, count = 0;
    for (int root : roots) {
        if (index.at(root) >= 0)
            continue;
        const auto enter = [&](int v) {
            index[v] = low[v] = next++;
            stack << v;
            onStack[v] = true;
            calls.append({v, edges.begin(v)});
        };
        enter(root);
        while (!calls.isEmpty()) {
            const int v = calls.last().first;
            const int *&edge = calls.last().second;
            if (edge != edges.end(v)) {
                const int w = *edge++;
                if (index.at(w) < 0)
                    enter(w);
                else if (onStack.at(w))
                    low[v] = qMin(low.at(v), index.at(w));
                continue;
            }
            calls.removeLast();
            if (!calls.isEmpty())
                low[calls.last().first] = qMin(low.at(calls.last().first), low.at(v));
            if (low.at(v) != index.at(v))
                continue;
            int w;
            do {
                w = stack.takeLast();
                onStack[w] = false;
                comp[w] = count;
            } while (w != v);
            ++count;
        }
    }
    return count;
}

// The nodes of each of count components (comp[v]: -1 for a node in none).
Edges membersOf(const QVector<int> &comp, int count)
{
    QVector<QVector<int>> members(count);
    for (int v = 0; v < comp.size(); ++v)
        if (comp.at(v) >= 0)
            members[comp.at(v)] << v;
    Edges edges;
    for (const QVector<int> &m : qAsConst(members)) {
        edges.to += m;
        edges.start << edges.to.size();
    }
    return edges;
}

// The run's commands as a graph, built once for each revision of the
// project: every enabled command, the commands that may come next in its
// run (the next one, where a jump or a route leads), the configurations it
// starts as runs of their own, and the files it reads and makes, each file
// by one number.
struct Graph
{
    struct Node
    {
        TDataCmd *cmd = nullptr;
        int makes = -1;                  // the file a read from the chip makes (its open must take it)
        int reads = -1;                  // the file it reads
        const InputFile *input = nullptr;
        bool any = false;                // a process or a pause: anything may be made
        bool ownCheck = true;            // its own check (flags, provider, range) passes
        TData data;                      // kept for the commands that read files
        QString inputId;                 // the file and range it reads
        QString path;                    // the file it reads or makes, absolute
    };

    QVector<Node> nodes;
    Edges next;                          // the commands that may come next in the run
    Edges starts;                        // the first commands of the runs it starts
    QHash<TDataCmd *, int> nodeOf;
    QHash<int, QVector<int>> cfgNodes;   // each configuration's enabled commands, in order
    QHash<int, QVector<int>> cfgJumps;   // the configurations its enabled jumps lead into
    int files = 0;
    QVector<int> comp;                   // components of `next`
    Edges members;                       // the nodes of each component

    // What a run started at a node may make at any moment: bit 0 anything,
    // bit f + 1 the file f.
    QVector<int> madeComp;
    QVector<Bits> made;
};

// The command's own refusal (empty when it has none): what a run refuses
// it for whatever ran before it.
QString ownRefusal(TDataCmd *cmd, const TData &data, const QString &name)
{
    IDevice *handler = cmd->handler();
    if (!handler || !cmd->validDev() || !cmd->validParam())
        return runcheck::flagRefusal(cmd, data, name);
    if (const TCheck run = handler->runCheck(data); !run)
        return run.text(name);
    // Its executor would refuse it, after what the commands before it did
    // to the chip.
    QString rangeKey;
    const QString empty = TMemoryExec::emptyRangeText(data, rangeKey);
    return empty.isEmpty() ? QString() : TCheck::refused(rangeKey, empty).text(name);
}

// Gives every file one number, for every name of it: a name is taken as
// the executors resolve it (absolute, cleaned), a link followed as a save
// follows it, and where its folder is there, the folder as the system
// resolves it (a link to a folder, "..", another mount of it); a name in a
// folder that is not there yet stays as it reads.
class FileNumbers
{
public:
    // The number of the file of that absolute name.
    int of(const QString &path)
    {
        const QString absolute = QDir::cleanPath(path);
        auto known = m_byName.constFind(absolute);
        if (known != m_byName.constEnd())
            return *known;
        const QFileInfo file(TSaveFile::finalPath(absolute));
        const QString folder = file.absolutePath();
        auto resolved = m_folders.find(folder);
        if (resolved == m_folders.end())
            resolved = m_folders.insert(folder, QFileInfo(folder).canonicalFilePath());
        const QString name = resolved->isEmpty() ? QDir::cleanPath(file.absoluteFilePath())
                                                 : QDir(*resolved).filePath(file.fileName());
        auto number = m_byFile.constFind(name);
        if (number == m_byFile.constEnd())
            number = m_byFile.insert(name, m_byFile.size());
        m_byName.insert(absolute, *number);
        return *number;
    }
    // The count of files numbered.
    int count() const { return m_byFile.size(); }

private:
    QHash<QString, int> m_byName;
    QHash<QString, int> m_byFile;
    QHash<QString, QString> m_folders;
};

// What a run started at each first command of a started configuration may
// make: all that the commands it reaches make, through its jumps and
// routes and the runs it starts in turn, at any moment.
void knowMade(Graph &g)
{
    Edges both;
    const int count = g.nodes.size();
    for (int n = 0; n < count; ++n) {
        for (const int *to = g.next.begin(n); to != g.next.end(n); ++to)
            both.to << *to;
        for (const int *to = g.starts.begin(n); to != g.starts.end(n); ++to)
            both.to << *to;
        both.start << both.to.size();
    }
    const int comps = components(both, g.starts.to, g.madeComp);
    const Edges members = membersOf(g.madeComp, comps);
    g.made.fill(Bits(), comps);
    // Components close after every one they lead into.
    for (int k = 0; k < comps; ++k) {
        Bits &made = g.made[k];
        for (const int *m = members.begin(k); m != members.end(k); ++m) {
            const int n = *m;
            const Graph::Node &node = g.nodes.at(n);
            if (node.any)
                made.set(0);
            if (node.makes >= 0)
                made.set(node.makes + 1);
            for (const int *to = both.begin(n); to != both.end(n); ++to)
                if (g.madeComp.at(*to) != k)
                    made.unite(g.made.at(g.madeComp.at(*to)));
        }
    }
}

void build(Graph &g)
{
    const QList<TDataCmd *> all = dataPrj.cmdList();
    const int count = all.size();
    QHash<int, int> position;
    QVector<int> cfgOf(count), nodeAt(count, -1);
    QHash<int, QVector<int>> cfgAll;
    g.nodes.reserve(count);
    g.nodeOf.reserve(count);
    for (int i = 0; i < count; ++i) {
        TDataCmd *cmd = all.at(i);
        position.insert(cmd->id(), i);
        cfgOf[i] = cmd->idCfg();
        cfgAll[cfgOf.at(i)] << i;
        if (cmd->status()) {
            nodeAt[i] = g.nodes.size();
            g.nodeOf.insert(cmd, g.nodes.size());
            g.cfgNodes[cfgOf.at(i)] << g.nodes.size();
            g.nodes.append(Graph::Node());
            g.nodes.last().cmd = cmd;
        }
    }
    // The first enabled command after each one in its configuration, and
    // from its start.
    QVector<int> after(count, -1);
    QHash<int, int> first;
    for (auto it = cfgAll.cbegin(); it != cfgAll.cend(); ++it) {
        int following = -1;
        for (int k = it->size() - 1; k >= 0; --k) {
            after[it->at(k)] = following;
            if (nodeAt.at(it->at(k)) >= 0)
                following = nodeAt.at(it->at(k));
        }
        first.insert(it.key(), following);
    }

    FileNumbers files;
    const QString workPath = dataPrj.workPath();
    for (int i = 0; i < count; ++i) {
        const int n = nodeAt.at(i);
        if (n < 0)
            continue;
        Graph::Node &node = g.nodes[n];
        TDataCmd *cmd = node.cmd;
        const TData data = cmd->toHash();
        const QString code = cmd->cmd();
        node.ownCheck = ownRefusal(cmd, data, QString()).isEmpty();
        // A stop ends the run.
        if (code == QLatin1String(CMD_JAMP)) {
            // The target, or the first enabled command after it, as the
            // jump's executor goes on.
            const int target = schema::target(data, JAMP_TO_CMD);
            const int at = target >= 0 ? position.value(target, -1) : -1;
            if (at >= 0) {
                const int to = nodeAt.at(at) >= 0 ? nodeAt.at(at) : after.at(at);
                if (to >= 0)
                    g.next.to << to;
                g.cfgJumps[cfgOf.at(i)] << cfgOf.at(at);
            }
        } else if (code != QLatin1String(CMD_STOP)) {
            // The configurations that "execute" and the routes name: runs of
            // their own, or where this run goes on for routes that start none.
            const bool starts = code != QLatin1String(CMD_AUTO_DETECT) || schema::flag(data, AUTO_EXECUTE);
            for (const schema::Reference &r : schema::referencesOf(data)) {
                int target = -1;
                const int to = schema::idOf(r, target) ? first.value(target, -1) : -1;
                if (to >= 0)
                    (starts ? g.starts.to : g.next.to) << to;
            }
            // Any other command, and a counter short of its limit, goes on.
            if (after.at(i) >= 0)
                g.next.to << after.at(i);
        }
        g.next.start << g.next.to.size();
        g.starts.start << g.starts.to.size();

        node.any = code == QLatin1String(CMD_PROCESS) || code == QLatin1String(CMD_PAUSE);
        // A command reads a file or makes one, never both.
        const InputFile *input = inputFileOf(code);
        const bool makes = TMemoryExec::fileUseOf(code) == TMemoryExec::FileUse::Makes;
        const QString file = input || makes ? schema::text(data, input ? input->key : FILE_FILE) : QString();
        if (file.isEmpty())
            continue;
        node.path = makeAbsolutePath(workPath, file);
        if (makes) {
            node.makes = files.of(node.path);
            continue;
        }
        node.reads = files.of(node.path);
        node.input = input;
        node.data = data;
        QStringList range{QLatin1String(input->kind)};
        for (const char *key : input->rangeKeys)
            range << schema::text(data, key);
        node.inputId = range.join(QLatin1Char('\n')) + QLatin1Char('\n') + node.path;
    }
    g.files = files.count();
    QVector<int> roots(g.nodes.size());
    std::iota(roots.begin(), roots.end(), 0);
    const int comps = components(g.next, roots, g.comp);
    g.members = membersOf(g.comp, comps);
    if (!g.starts.to.isEmpty())
        knowMade(g);
}

// Which commands a run from a start reaches, and which of those that
// read or make a file come after something that may make it: a command
// counts for another only where it may run before the other's first
// visit, that is on a path from the start that reaches it without passing
// through the other, and leads on to the other. Once along a loop lends
// nothing to the first visit.
//
// With the dominator tree of the run from the start (a command C
// dominates P when every path to P passes through C), P counts for C
// exactly when P reaches C and C does not dominate P. Within a strongly
// connected component every command reaches every other, and the
// dominator tree numbered in preorder makes "not in C's subtree" a test of
// two numbers, for all the makers of a file at once by their least and
// greatest number; a maker in an earlier component that leads into C's
// counts always (C dominating it would make them one component), which is
// carried along the components in their order.
struct Flow
{
    Bits reached;
    Bits counted;   // of the commands with a file: something may make it before
};

Flow flowFrom(const Graph &g, int start)
{
    Flow flow;
    const int count = g.nodes.size();
    // The depth-first order from the start (numbers from 1).
    QVector<int> number(count, 0), vertex{-1}, parent{0};
    {
        QVector<QPair<int, const int *>> calls;
        number[start] = 1;
        vertex << start;
        parent << 0;
        calls.append({start, g.next.begin(start)});
        while (!calls.isEmpty()) {
            const int v = calls.last().first;
            const int *&edge = calls.last().second;
            if (edge == g.next.end(v)) {
                calls.removeLast();
                continue;
            }
            const int w = *edge++;
            if (number.at(w))
                continue;
            number[w] = vertex.size();
            vertex << w;
            parent << number.at(v);
            calls.append({w, g.next.begin(w)});
        }
    }
    const int reached = vertex.size() - 1;
    bool anyFile = false;
    for (int i = 1; i <= reached; ++i) {
        const Graph::Node &node = g.nodes.at(vertex.at(i));
        flow.reached.set(vertex.at(i));
        anyFile = anyFile || node.reads >= 0 || node.makes >= 0;
    }
    if (!anyFile)
        return flow;

    // The immediate dominators (Lengauer and Tarjan, path compression).
    QVector<int> predStart(reached + 2, 0), pred;
    for (int i = 1; i <= reached; ++i)
        for (const int *to = g.next.begin(vertex.at(i)); to != g.next.end(vertex.at(i)); ++to)
            ++predStart[number.at(*to) + 1];
    for (int i = 1; i <= reached + 1; ++i)
        predStart[i] += predStart.at(i - 1);
    pred.resize(predStart.last());
    {
        QVector<int> fill = predStart;
        for (int i = 1; i <= reached; ++i)
            for (const int *to = g.next.begin(vertex.at(i)); to != g.next.end(vertex.at(i)); ++to)
                pred[fill[number.at(*to)]++] = i;
    }
    QVector<int> semi(reached + 1), label(reached + 1), ancestor(reached + 1, 0), idom(reached + 1, 0);
    QVector<int> bucketHead(reached + 1, 0), bucketNext(reached + 1, 0), path;
    for (int i = 0; i <= reached; ++i)
        semi[i] = label[i] = i;
    const auto eval = [&](int v) {
        if (!ancestor.at(v))
            return v;
        path.clear();
        for (int x = v; ancestor.at(ancestor.at(x)); x = ancestor.at(x))
            path << x;
        for (int k = path.size() - 1; k >= 0; --k) {
            const int x = path.at(k), a = ancestor.at(x);
            if (semi.at(label.at(a)) < semi.at(label.at(x)))
                label[x] = label.at(a);
            ancestor[x] = ancestor.at(a);
        }
        return label.at(v);
    };
    for (int w = reached; w >= 2; --w) {
        for (int k = predStart.at(w); k < predStart.at(w + 1); ++k) {
            const int u = eval(pred.at(k));
            if (semi.at(u) < semi.at(w))
                semi[w] = semi.at(u);
        }
        bucketNext[w] = bucketHead.at(semi.at(w));
        bucketHead[semi.at(w)] = w;
        const int p = parent.at(w);
        ancestor[w] = p;
        for (int v = bucketHead.at(p); v; v = bucketNext.at(v)) {
            const int u = eval(v);
            idom[v] = semi.at(u) < semi.at(v) ? u : p;
        }
        bucketHead[p] = 0;
    }
    for (int w = 2; w <= reached; ++w)
        if (idom.at(w) != semi.at(w))
            idom[w] = idom.at(idom.at(w));

    // The dominator tree in preorder: the subtree of w holds the numbers
    // pre[w] .. pre[w] + size[w] - 1.
    QVector<int> size(reached + 1, 1), pre(reached + 1, 0), slot(reached + 1, 1);
    for (int w = reached; w >= 2; --w)
        size[idom.at(w)] += size.at(w);
    for (int w = 2; w <= reached; ++w) {
        pre[w] = slot.at(idom.at(w));
        slot[idom.at(w)] += size.at(w);
        slot[w] = pre.at(w) + 1;
    }

    // The files that the reached commands read, numbered from 1 (0: none
    // of them); 0 stands for anything.
    QVector<int> dense(g.files, 0);
    int files = 1;
    for (int i = 1; i <= reached; ++i) {
        const int r = g.nodes.at(vertex.at(i)).reads;
        if (r >= 0 && !dense.at(r))
            dense[r] = files++;
    }
    // Calls f with the numbers of what the node may make.
    const auto makes = [&](int n, auto f) {
        const Graph::Node &node = g.nodes.at(n);
        if (node.any)
            f(0);
        if (node.makes >= 0 && dense.at(node.makes))
            f(dense.at(node.makes));
        for (const int *to = g.starts.begin(n); to != g.starts.end(n); ++to)
            g.made.at(g.madeComp.at(*to)).forEach([&](int bit) {
                if (bit == 0)
                    f(0);
                else if (dense.at(bit - 1))
                    f(dense.at(bit - 1));
            });
    };

    // Within each component: the least and greatest preorder number of
    // the makers of each file its commands ask for.
    const auto pairKey = [](int comp, int file) { return (quint64(quint32(comp)) << 32) | quint32(file); };
    QHash<quint64, QPair<int, int>> span;
    for (int i = 1; i <= reached; ++i) {
        const Graph::Node &node = g.nodes.at(vertex.at(i));
        const int k = g.comp.at(vertex.at(i));
        if (node.reads >= 0)
            span.insert(pairKey(k, dense.at(node.reads)), {reached + 1, -1});
        if (node.reads >= 0 || node.makes >= 0)
            span.insert(pairKey(k, 0), {reached + 1, -1});
    }
    // Before each component: what the components leading into it make.
    const int comps = g.members.nodes();
    QVector<Bits> before(comps), own(comps);
    for (int i = 1; i <= reached; ++i) {
        const int n = vertex.at(i), k = g.comp.at(n);
        makes(n, [&](int file) {
            own[k].set(file);
            const auto known = span.find(pairKey(k, file));
            if (known != span.end())
                *known = {qMin(known->first, pre.at(i)), qMax(known->second, pre.at(i))};
        });
    }
    for (int k = comps - 1; k >= 0; --k) {
        if (!number.at(g.members.to.at(g.members.start.at(k))))
            continue;
        Bits out = before.at(k);
        out.unite(own.at(k));
        if (out.isEmpty())
            continue;
        for (const int *n = g.members.begin(k); n != g.members.end(k); ++n)
            for (const int *to = g.next.begin(*n); to != g.next.end(*n); ++to)
                if (g.comp.at(*to) != k)
                    before[g.comp.at(*to)].unite(out);
    }

    // Something counts for C where it may make the file (or anything) in
    // a component before C's, or in C's but outside C's subtree.
    const auto outside = [&](int k, int file, int i) {
        const auto known = span.constFind(pairKey(k, file));
        return known != span.constEnd() && (known->first < pre.at(i) || known->second >= pre.at(i) + size.at(i));
    };
    for (int i = 1; i <= reached; ++i) {
        const int n = vertex.at(i), k = g.comp.at(n);
        const Graph::Node &node = g.nodes.at(n);
        if (node.reads < 0 && node.makes < 0)
            continue;
        const int file = node.reads >= 0 ? dense.at(node.reads) : 0;
        if (before.at(k).test(0) || before.at(k).test(file) || outside(k, 0, i) || outside(k, file, i))
            flow.counted.set(n);
    }
    return flow;
}

} // namespace

namespace runcheck {

class Checker::Impl
{
public:
    bool findRefusal(int cfgId, int afterCmdId, Refusal &refusal);

private:
    // Why the file of a command that reads one cannot serve it, as its
    // executor's open finds it, with nothing of the data read (empty when
    // it can): known from an earlier call while the file is as it was then.
    QString inputProblem(const Graph::Node &node);
    // The refusal of the command: its own (key null), or the file's under
    // the key for the problem given.
    static void describe(const Graph::Node &node, const char *key, const QString &problem, Refusal &refusal);

    static constexpr int MAX_STARTS_KEPT = 4096;

    quint64 m_revision = 0;
    bool m_built = false;
    Graph m_graph;
    QHash<int, Flow> m_flows;   // by start
    struct Known
    {
        platform::FileStamp stamp;
        QString problem;
    };
    QHash<QString, Known> m_inputs;
};

QString Checker::Impl::inputProblem(const Graph::Node &node)
{
    QFile file(node.path);
    platform::FileStamp stamp;
    // A file that does not open is told at once why, by the check itself.
    if (!file.open(QIODevice::ReadOnly) || !platform::fileStamp(int(file.handle()), stamp))
        return node.input->problem(node.data);
    file.close();
    const auto known = m_inputs.constFind(node.inputId);
    if (known != m_inputs.constEnd() && known->stamp == stamp)
        return known->problem;
    const QString problem = node.input->problem(node.data);
    m_inputs.insert(node.inputId, {stamp, problem});
    return problem;
}

void Checker::Impl::describe(const Graph::Node &node, const char *key, const QString &problem, Refusal &refusal)
{
    const TData data = node.cmd->toHash();
    const QString name = IDevice::shownName(data);
    IDevice *handler = node.cmd->handler();
    const QString text = key ? TCheck::refused(QLatin1String(key), problem).text(name) : ownRefusal(node.cmd, data, name);
    refusal = {name, handler ? handler->cmdParamText(data, nullptr) : QString(), text};
}

bool Checker::Impl::findRefusal(int cfgId, int afterCmdId, Refusal &refusal)
{
    // What depends on the project alone is made once for each state of it.
    const quint64 revision = TDataPrj::revision();
    if (!m_built || revision != m_revision) {
        m_graph = Graph();
        build(m_graph);
        m_flows.clear();
        m_revision = revision;
        m_built = true;
    }
    const Graph &g = m_graph;
    const int entry = g.nodeOf.value(dataPrj.nextEnabledCmd(cfgId, afterCmdId), -1);
    auto flow = m_flows.find(entry);
    if (flow == m_flows.end()) {
        // A bound on what is kept: two bits a command for each start.
        if (m_flows.size() >= MAX_STARTS_KEPT)
            m_flows.clear();
        flow = m_flows.insert(entry, entry < 0 ? Flow() : flowFrom(g, entry));
    }

    TSaveFile::FolderAnswers folders;
    // The configuration, then those its enabled jumps move the run into,
    // and theirs, before the commands ahead of a jump are sent.
    QVector<int> cfgs{cfgId};
    QSet<int> listed{cfgId};
    for (int c = 0; c < cfgs.size(); ++c) {
        const QVector<int> nodes = g.cfgNodes.value(cfgs.at(c)), jumps = g.cfgJumps.value(cfgs.at(c));
        for (int n : nodes) {
            const Graph::Node &node = g.nodes.at(n);
            if (!node.ownCheck) {
                describe(node, nullptr, QString(), refusal);
                return true;
            }
            // Files count only on the run's way, where nothing may have
            // made them before.
            if (!flow->reached.test(n) || flow->counted.test(n))
                continue;
            // Only a process or the operator makes a folder, or lets it
            // take files.
            const QString problem = node.reads >= 0 ? inputProblem(node)
                                    : node.makes >= 0 ? TFormat::writeProblem(node.path, &folders)
                                                      : QString();
            if (!problem.isEmpty()) {
                describe(node, node.reads >= 0 ? node.input->key : FILE_FILE, problem, refusal);
                return true;
            }
        }
        for (int to : jumps)
            if (!listed.contains(to)) {
                listed.insert(to);
                cfgs << to;
            }
    }
    return false;
}

Checker::Checker() : d(new Impl) {}

Checker::~Checker() = default;

bool Checker::findRefusal(int cfgId, int afterCmdId, Refusal &refusal)
{
    return d->findRefusal(cfgId, afterCmdId, refusal);
}

bool findRefusal(int cfgId, int afterCmdId, Refusal &refusal)
{
    return Checker().findRefusal(cfgId, afterCmdId, refusal);
}

} // namespace runcheck
