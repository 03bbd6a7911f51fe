'''A systemd user manager that starts transient units, for Zorvel's tests.

Parameters: {"state": "active"} (default) or {"state": "failed"}: the ActiveState every timer it
starts is left in, as a manager that may not wake the system leaves it.
'''
import fnmatch
import json

import dbus

from dbusmock import MOCK_IFACE

BUS_NAME = 'org.freedesktop.systemd1'
MAIN_OBJ = '/org/freedesktop/systemd1'
MAIN_IFACE = 'org.freedesktop.systemd1.Manager'
UNIT_IFACE = 'org.freedesktop.systemd1.Unit'
SYSTEM_BUS = False


def load(mock, parameters):
    mock.timer_state = parameters.get('state', 'active')
    mock.units = {}
    mock.started = []
    mock.stopped = []
    mock.next_job = 1


def plain(value):
    '''D-Bus values as JSON can hold them.'''
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (dbus.Array, dbus.Struct, list, tuple)):
        return [plain(v) for v in value]
    if isinstance(value, dbus.Dictionary):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (int, float)):
        return int(value) if isinstance(value, int) else float(value)
    return str(value)


def job(mock):
    path = dbus.ObjectPath(f'{MAIN_OBJ}/job/{mock.next_job}')
    mock.next_job += 1
    return path


@dbus.service.method(MAIN_IFACE, in_signature='ssa(sv)a(sa(sv))', out_signature='o')
def StartTransientUnit(self, name, mode, properties, aux):
    path = f'{MAIN_OBJ}/unit/{len(self.units) + 1}'
    self.AddObject(path, UNIT_IFACE, {'Id': name, 'ActiveState': self.timer_state}, [])
    self.units[str(name)] = path
    self.started.append({'name': str(name), 'mode': str(mode),
                         'properties': {str(k): plain(v) for k, v in properties},
                         'aux': [[str(n), {str(k): plain(v) for k, v in p}] for n, p in aux]})
    return job(self)


@dbus.service.method(MAIN_IFACE, in_signature='s', out_signature='o')
def GetUnit(self, name):
    if str(name) not in self.units:
        raise dbus.exceptions.DBusException('unit not loaded',
                                            name='org.freedesktop.systemd1.NoSuchUnit')
    return dbus.ObjectPath(self.units[str(name)])


@dbus.service.method(MAIN_IFACE, in_signature='asas', out_signature='a(ssssssouso)')
def ListUnitsByPatterns(self, _states, patterns):
    return [dbus.Struct((name, '', 'loaded', self.timer_state, '', '', dbus.ObjectPath(path),
                         dbus.UInt32(0), '', dbus.ObjectPath('/')), signature='ssssssouso')
            for name, path in self.units.items()
            if name not in self.stopped and any(fnmatch.fnmatch(name, p) for p in patterns)]


@dbus.service.method(MAIN_IFACE, in_signature='ss', out_signature='o')
def StopUnit(self, name, _mode):
    self.stopped.append(str(name))
    return job(self)


@dbus.service.method(MAIN_IFACE, in_signature='s', out_signature='')
def ResetFailedUnit(self, name):
    self.stopped.append(str(name))


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='s')
def Started(self):
    '''The units started so far, with their properties, as JSON.'''
    return json.dumps({'started': self.started, 'stopped': self.stopped})
