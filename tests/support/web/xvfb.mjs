// A private X server for the browsers that need one: Firefox draws WebGL only with a display,
// even headless, and WebKitGTK's MiniBrowser has no headless mode at all. Xvfb picks a free
// display itself and writes its number to a descriptor we hand it, so two test runs never race
// for one.
import { spawn } from 'node:child_process';

export async function startXvfb({ width = 1280, height = 1024 } = {}) {
  const server = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', `${width}x${height}x24`,
                                '-nolisten', 'tcp', '-noreset'],
                       { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
  let errors = '';
  server.stderr.on('data', chunk => { errors += chunk; });
  const display = await new Promise((resolve, reject) => {
    let digits = '';
    server.stdio[3].on('data', chunk => {
      digits += chunk;
      if (digits.includes('\n')) resolve(`:${digits.trim()}`);
    });
    server.on('exit', code => {
      reject(new Error(`Xvfb ended (${code}) before it had a display:\n${errors}`));
    });
    server.on('error', reject);
  });
  return {
    display,
    async stop() {
      if (server.exitCode !== null || server.signalCode !== null) return;
      const ended = new Promise(resolve => server.once('exit', resolve));
      server.kill('SIGTERM');
      await ended;
    },
  };
}
