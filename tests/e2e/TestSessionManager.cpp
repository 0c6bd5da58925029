/* The smallest X session manager an end-to-end test needs: it runs one
 * program as its session's client and, on SIGUSR1, asks it to save itself,
 * as a desktop does at log-out; "saved" on standard output says that the
 * client is done. The next SIGUSR1 tells the client to die. It ends with the
 * client's exit status.
 *
 * Usage: test_session_manager PROGRAM [ARGUMENT...]
 */
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

enum { MaxConnections = 8, MaxListeners = 16 };

static volatile sig_atomic_t requests;
static SmsConn client = nullptr;
static int registered, saveAsked, saveDone, dieSent;
static IceConn connections[MaxConnections];
static int connectionCount;

static void onRequest(int signalNumber)
{
    (void)signalNumber;
    requests = requests + 1;
}

static Status registerClient(SmsConn conn, SmPointer data, char *previousId)
{
    (void)data;
    free(previousId);
    char *id = SmsGenerateClientID(conn);
    static char fallbackId[] = "test-client";
    SmsRegisterClientReply(conn, id ? id : fallbackId);
    free(id);
    registered = 1;
    return 1;
}

static void interactRequest(SmsConn conn, SmPointer data, int dialogType)
{
    (void)dialogType;
    (void)data;
    SmsInteract(conn);
}

static void interactDone(SmsConn conn, SmPointer data, Bool cancelShutdown)
{
    (void)conn, (void)data, (void)cancelShutdown;
}

static void saveYourselfRequest(SmsConn conn, SmPointer data, int saveType, Bool shutdown, int interactStyle,
                                Bool fast, Bool global)
{
    (void)conn, (void)data, (void)saveType, (void)shutdown, (void)interactStyle, (void)fast, (void)global;
}

static void saveYourselfPhase2Request(SmsConn conn, SmPointer data)
{
    (void)data;
    SmsSaveYourselfPhase2(conn);
}

static void saveYourselfDone(SmsConn conn, SmPointer data, Bool success)
{
    (void)conn, (void)data;
    printf("saved%s\n", success ? "" : " (the client says it failed)");
    fflush(stdout);
    saveDone = 1;
}

static void closeConnection(SmsConn conn, SmPointer data, int count, char **reasons)
{
    (void)data;
    SmFreeReasons(count, reasons);
    SmsCleanUp(conn);
    client = nullptr;
}

static void setProperties(SmsConn conn, SmPointer data, int count, SmProp **properties)
{
    (void)conn, (void)data;
    for (int i = 0; i < count; ++i)
        SmFreeProperty(properties[i]);
    free(properties);
}

static void deleteProperties(SmsConn conn, SmPointer data, int count, char **names)
{
    (void)conn, (void)data;
    for (int i = 0; i < count; ++i)
        free(names[i]);
    free(names);
}

static void getProperties(SmsConn conn, SmPointer data)
{
    (void)data;
    SmsReturnProperties(conn, 0, nullptr);
}

static Status newClient(SmsConn conn, SmPointer data, unsigned long *mask, SmsCallbacks *callbacks,
                        char **failureReason)
{
    (void)data, (void)failureReason;
    client = conn;
    memset(callbacks, 0, sizeof *callbacks);
    callbacks->register_client.callback = registerClient;
    callbacks->interact_request.callback = interactRequest;
    callbacks->interact_done.callback = interactDone;
    callbacks->save_yourself_request.callback = saveYourselfRequest;
    callbacks->save_yourself_phase2_request.callback = saveYourselfPhase2Request;
    callbacks->save_yourself_done.callback = saveYourselfDone;
    callbacks->close_connection.callback = closeConnection;
    callbacks->set_properties.callback = setProperties;
    callbacks->delete_properties.callback = deleteProperties;
    callbacks->get_properties.callback = getProperties;
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask
            | SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask
            | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask
            | SmsGetPropertiesProcMask;
    return 1;
}

/* A client that went away is dropped; the default handler would exit. */
static void ignoreIoError(IceConn connection)
{
    (void)connection;
}

/* Only this machine's own test client connects. */
static Bool anyHost(char *hostName)
{
    (void)hostName;
    return True;
}

static void processMessages(int i)
{
    if (IceProcessMessages(connections[i], nullptr, nullptr) == IceProcessMessagesIOError) {
        IceCloseConnection(connections[i]);
        connections[i] = connections[--connectionCount];
    }
}

/* The client's requests, as SIGUSR1 numbers them: save, then die. */
static void actOnRequests(void)
{
    if (client && registered && requests >= 1 && !saveAsked) {
        SmsSaveYourself(client, SmSaveBoth, True, SmInteractStyleNone, False);
        saveAsked = 1;
    }
    if (client && saveDone && requests >= 2 && !dieSent) {
        SmsDie(client);
        dieSent = 1;
    }
}

int main(int argc, char *argv[])
{
    if (argc < 2) {
        fprintf(stderr, "usage: test_session_manager PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    char error[256] = "";
    IceSetIOErrorHandler(ignoreIoError);
    static char vendor[] = "kladdo-test", release[] = "1";
    if (!SmsInitialize(vendor, release, newClient, nullptr, anyHost, sizeof error, error)) {
        fprintf(stderr, "test_session_manager: %s\n", error);
        return 2;
    }
    int listenCount = 0;
    IceListenObj *listeners = nullptr;
    if (!IceListenForConnections(&listenCount, &listeners, sizeof error, error)) {
        fprintf(stderr, "test_session_manager: %s\n", error);
        return 2;
    }
    if (listenCount > MaxListeners)
        listenCount = MaxListeners;
    for (int i = 0; i < listenCount; ++i)
        IceSetHostBasedAuthProc(listeners[i], anyHost);
    char *address = IceComposeNetworkIdList(listenCount, listeners);
    setenv("SESSION_MANAGER", address, 1);
    free(address);

    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = onRequest;
    action.sa_flags = SA_RESTART;
    sigaction(SIGUSR1, &action, nullptr);

    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        perror("test_session_manager: exec");
        _exit(127);
    }
    for (;;) {
        int status = 0;
        // Ended at once: what the ICE and SM libraries hold is not ours to free.
        if (waitpid(child, &status, WNOHANG) == child)
            _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
        struct pollfd fds[MaxListeners + MaxConnections];
        int count = 0;
        for (int i = 0; i < listenCount; ++i)
            fds[count++] = pollfd{IceGetListenConnectionNumber(listeners[i]), POLLIN, 0};
        const int polled = connectionCount;
        for (int i = 0; i < polled; ++i)
            fds[count++] = pollfd{IceConnectionNumber(connections[i]), POLLIN, 0};
        if (poll(fds, count, 50) > 0) {
            for (int i = polled - 1; i >= 0; --i) {
                if (fds[listenCount + i].revents & (POLLIN | POLLHUP))
                    processMessages(i);
            }
            for (int i = 0; i < listenCount; ++i) {
                if (!(fds[i].revents & POLLIN) || connectionCount == MaxConnections)
                    continue;
                IceAcceptStatus accepted;
                IceConn connection = IceAcceptConnection(listeners[i], &accepted);
                if (connection)
                    connections[connectionCount++] = connection;
            }
        }
        actOnRequests();
    }
}
